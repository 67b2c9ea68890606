#include "queue/JobFailures.h"

#include "status/OperatorReport.h"

#include <algorithm>

namespace {

QString JobText(const TYazimIsi& job) {
    return QStringLiteral("ID:") + job.ID + QStringLiteral(" FisID:") + job.AdisyonID +
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
    const int failures = ++m_failures[job.ID];
    m_report.Started(FaultKind::JobFailing, job.ID,
                     QStringLiteral("Is ") + notDone + QStringLiteral(" -- ") + JobText(job) +
                         QStringLiteral(" Hata: ") + error);
    const auto setAside = m_setAside.find(job.ID);
    if (setAside != m_setAside.end()) {
        // Its retry failed too: it waits twice as long before the next one.
        setAside->error = error;
        setAside->pauseSeconds = std::min(2 * setAside->pauseSeconds, kLongestPauseSeconds);
        setAside->retryAt = m_clock().addSecs(setAside->pauseSeconds);
        return;
    }
    if (failures < kFailuresBeforeSetAside)
        return;
    m_setAside.insert(job.ID, {error, m_clock().addSecs(kFirstPauseSeconds), kFirstPauseSeconds});
    m_report.Started(
        FaultKind::JobSetAside, job.ID,
        QStringLiteral("Is %1 denemede %2, atlaniyor; %3 sn sonra yeniden denenecek -- ")
                .arg(kFailuresBeforeSetAside)
                .arg(notDone)
                .arg(kFirstPauseSeconds) +
            JobText(job));
}

void JobFailures::JobProgressed(const QString& jobId) {
    const auto failures = m_failures.find(jobId);
    if (failures != m_failures.end())
        *failures = 0;
}

void JobFailures::QueueFailed(const QString& error) {
    m_report.Started(FaultKind::QueueUnreadable, QString(),
                     QStringLiteral("Yazdirma kuyrugu okunamadi -- Hata: ") + error);
}

void JobFailures::QueueRead() {
    m_report.Ended(FaultKind::QueueUnreadable, QString());
}

void JobFailures::JobDone(const QString& jobId) {
    m_failures.remove(jobId);
    m_setAside.remove(jobId);
    m_report.Ended(FaultKind::JobFailing, jobId);
    m_report.Ended(FaultKind::JobSetAside, jobId);
}

void JobFailures::KeepOnly(const QSet<QString>& queuedJobIds) {
    const QList<QString> known = m_failures.keys() + m_setAside.keys();
    for (const QString& jobId : known)
        if (!queuedJobIds.contains(jobId))
            JobDone(jobId);
}

int JobFailures::Retry() {
    const int setAside = static_cast<int>(m_setAside.size());
    m_setAside.clear();
    m_failures.clear();
    m_report.EndedAll(FaultKind::JobFailing);
    m_report.EndedAll(FaultKind::JobSetAside);
    QueueRead();
    return setAside;
}
