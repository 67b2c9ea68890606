#include "queue/JobFailures.h"

#include "queue/OperatorReport.h"

namespace {

QString JobText(const TYazimIsi& job) {
    return QStringLiteral("ID:") + job.ID + QStringLiteral(" FisID:") + job.AdisyonID +
           QStringLiteral(" Tur:") + job.Tur;
}

} // namespace

JobFailures::JobFailures(OperatorReport& report)
    : m_report(report) {}

void JobFailures::JobFailed(const TYazimIsi& job, const QString& error) {
    Failures& failures = m_failures[job.ID];
    ++failures.count;
    if (failures.lastReported != error) {
        failures.lastReported = error;
        m_report.Report(QStringLiteral("Is yazdirilamadi -- ") + JobText(job) +
                        QStringLiteral(" Hata: ") + error);
    }
    if (failures.count >= kFailuresBeforeSetAside) {
        m_setAside.insert(job.ID);
        m_failures.remove(job.ID);
        m_report.Report(
            QStringLiteral("Is %1 denemede yazdirilamadi, yeniden denenene kadar atlanacak -- ")
                .arg(kFailuresBeforeSetAside) +
            JobText(job));
    }
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

int JobFailures::Retry() {
    const int setAside = static_cast<int>(m_setAside.size());
    m_setAside.clear();
    m_failures.clear();
    m_lastQueueError.clear();
    return setAside;
}
