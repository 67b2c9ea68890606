#pragma once

#include "job/JobRecord.h"

#include <QDateTime>
#include <QHash>
#include <QSet>
#include <QString>
#include <functional>

class OperatorReport;

// Failed ticks, kept so that a failing job neither floods the operator nor holds up the queue:
// each distinct error of a job is reported once (status/OperatorReport.h), and a job that keeps
// failing without getting any further is set aside (it stays queued) and tried again by itself
// after a pause that doubles at each failed retry, or at once when the operator asks for a retry. A
// printer that fails is no fault of the job: such tickets wait for their printer and never count
// here.
class JobFailures {
public:
    using Clock = std::function<QDateTime()>;

    static constexpr int kFailuresBeforeSetAside = 5;
    static constexpr int kFirstPauseSeconds = 30;
    static constexpr int kLongestPauseSeconds = 600;

    struct SetAside {
        QString error;
        QDateTime retryAt;
        int pauseSeconds = kFirstPauseSeconds;
    };

    explicit JobFailures(OperatorReport& report);

    void setClock(Clock clock) { m_clock = std::move(clock); }

    // Whether the job is to be tried now: it is not set aside, or its pause is over.
    bool isDue(const QString& jobId) const;
    // Null unless the job is set aside.
    const SetAside* SetAsideOf(const QString& jobId) const;
    int setAsideCount() const { return static_cast<int>(m_setAside.size()); }

    void JobFailed(const TYazimIsi& job, const QString& error);
    // The job's tickets are out and only its deletion failed; counted as any failure.
    void DeletionFailed(const TYazimIsi& job, const QString& error);
    // One of the job's tickets came out: a retry never prints it again, so the failures so far
    // no longer count towards setting the job aside. A big order on a printer that fails every
    // other document still gets through.
    void JobProgressed(const QString& jobId);
    // A failure before any job was taken (the queue itself could not be read).
    void QueueFailed(const QString& error);
    void QueueRead();
    void JobDone(const QString& jobId);
    // After a read of the whole queue: a job that left it some other way is done with too.
    void KeepOnly(const QSet<QString>& queuedJobIds);
    // The operator fixed the cause: every job is taken again, with its failures forgotten.
    // Returns how many jobs were set aside.
    int Retry();

private:
    // What could not be done, as the operator reads it: "yazdirilamadi" or "kuyruktan silinemedi".
    void Failed(const TYazimIsi& job, const QString& notDone, const QString& error);

    OperatorReport& m_report;
    Clock m_clock;
    QHash<QString, int> m_failures; // by job: the failures since it last got further
    QHash<QString, SetAside> m_setAside;
};
