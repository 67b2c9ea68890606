#pragma once

#include "queue/JobRecord.h"

#include <QHash>
#include <QSet>
#include <QString>

class OperatorReport;

// Failed ticks, kept so that a failing job neither floods the operator nor holds up the queue:
// each distinct error of a job is reported once, and a job that keeps failing without getting
// any further is set aside (it stays queued) until the operator asks for a retry or restarts.
class JobFailures {
public:
    static constexpr int kFailuresBeforeSetAside = 5;

    explicit JobFailures(OperatorReport& report);

    bool isSetAside(const QString& jobId) const { return m_setAside.contains(jobId); }
    int setAsideCount() const { return static_cast<int>(m_setAside.size()); }

    void JobFailed(const TYazimIsi& job, const QString& error);
    // One of the job's tickets came out: a retry never prints it again, so the failures so far
    // no longer count towards setting the job aside. A big order on a printer that fails every
    // other document still gets through.
    void JobProgressed(const QString& jobId);
    // A failure before any job was taken (the queue itself could not be read).
    void QueueFailed(const QString& error);
    void QueueRead() { m_lastQueueError.clear(); }
    void JobDone(const QString& jobId) { m_failures.remove(jobId); }
    // The operator fixed the cause: every job is taken again, with its failures forgotten.
    // Returns how many jobs were set aside.
    int Retry();

private:
    struct Failures {
        int count = 0;
        QString lastReported;
    };

    OperatorReport& m_report;
    QHash<QString, Failures> m_failures;
    QString m_lastQueueError;
    QSet<QString> m_setAside;
};
