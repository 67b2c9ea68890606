#pragma once

#include <QDateTime>
#include <QHash>
#include <QString>

class RecordSet;

// When the server first saw each queued job: where the job's wait for its tickets starts.
class JobSightings {
public:
    // The jobs of a queue read (column "ID"): new ones are seen at that moment, the ones gone
    // are forgotten. The queue is left past its end.
    void QueueRead(RecordSet& queue, const QDateTime& now);
    // Invalid for a job not in the last read.
    QDateTime FirstSeen(const QString& jobId) const { return m_firstSeen.value(jobId); }

private:
    QHash<QString, QDateTime> m_firstSeen;
};
