#include "queue/JobFailures.h"

#include "status/OperatorReport.h"

#include <algorithm>

namespace {

// How a notification names a set-aside job.
QString JobSubject(const QString& jobId) {
    return QStringLiteral("ID:") + jobId;
}

QString JobText(const TYazimIsi& job) {
    return JobSubject(job.ID) + QStringLiteral(" FisID:") + job.AdisyonID +
           QStringLiteral(" Tur:") + job.Tur;
}

} // namespace

JobFailures::JobFailures(OperatorReport& report)
    : m_report(report)
    , m_clock([] { return QDateTime::currentDateTime(); }) {}

bool JobFailures::isDue(const QString& jobId) const {
    const SetAside* setAside = SetAsideOf(jobId);
    return !setAside || setAside->retryAt <= m_clock();
}

const JobFailures::SetAside* JobFailures::SetAsideOf(const QString& jobId) const {
    const auto found = m_setAside.constFind(jobId);
    return found == m_setAside.constEnd() ? nullptr : &found.value();
}

void JobFailures::JobFailed(const TYazimIsi& job, const QString& error) {
    Failed(job, QStringLiteral("yazdirilamadi"), error);
}

void JobFailures::DeletionFailed(const TYazimIsi& job, const QString& error) {
    Failed(job, QStringLiteral("kuyruktan silinemedi"), error);
}

void JobFailures::Failed(const TYazimIsi& job, const QString& notDone, const QString& error) {
    Failures& failures = m_failures[job.ID];
    ++failures.count;
    if (failures.lastReported != error) {
        failures.lastReported = error;
        m_report.Report(QStringLiteral("Is ") + notDone + QStringLiteral(" -- ") + JobText(job) +
                        QStringLiteral(" Hata: ") + error);
    }
    const auto setAside = m_setAside.find(job.ID);
    if (setAside != m_setAside.end()) {
        // Its retry failed too: it waits twice as long before the next one.
        setAside->error = error;
        setAside->pauseSeconds = std::min(2 * setAside->pauseSeconds, kLongestPauseSeconds);
        setAside->retryAt = m_clock().addSecs(setAside->pauseSeconds);
        return;
    }
    if (failures.count < kFailuresBeforeSetAside)
        return;
    m_setAside.insert(job.ID, {error, m_clock().addSecs(kFirstPauseSeconds), kFirstPauseSeconds});
    m_report.Report(
        QStringLiteral("Is %1 denemede %2, atlaniyor; %3 sn sonra yeniden denenecek -- ")
            .arg(kFailuresBeforeSetAside)
            .arg(notDone)
            .arg(kFirstPauseSeconds) +
        JobText(job));
    m_report.Tell({FaultEvent::Kind::JobSetAside, FaultEvent::Phase::Started, JobSubject(job.ID),
                   JobText(job) + QStringLiteral(" Hata: ") + error});
}

void JobFailures::SetAsideEnded(const QString& jobId, const QString& detail) {
    m_report.Tell(
        {FaultEvent::Kind::JobSetAside, FaultEvent::Phase::Ended, JobSubject(jobId), detail});
}

void JobFailures::JobProgressed(const QString& jobId) {
    const auto failures = m_failures.find(jobId);
    if (failures != m_failures.end())
        failures->count = 0;
}

void JobFailures::QueueFailed(const QString& error) {
    if (m_lastQueueError == error)
        return;
    m_lastQueueError = error;
    m_report.Report(QStringLiteral("Yazdirma kuyrugu okunamadi -- Hata: ") + error);
}

void JobFailures::JobDone(const QString& jobId) {
    m_failures.remove(jobId);
    if (m_setAside.remove(jobId))
        SetAsideEnded(jobId, QStringLiteral("Is tamamlandi"));
}

int JobFailures::Retry() {
    const int setAside = static_cast<int>(m_setAside.size());
    for (auto it = m_setAside.cbegin(); it != m_setAside.cend(); ++it)
        SetAsideEnded(it.key(), QStringLiteral("Is yeniden deneniyor"));
    m_setAside.clear();
    m_failures.clear();
    m_lastQueueError.clear();
    return setAside;
}
