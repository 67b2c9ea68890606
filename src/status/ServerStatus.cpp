#include "status/ServerStatus.h"

#include "print/EscPosStatus.h"
#include "print/PrinterNames.h"
#include "status/OperatorReport.h"

ServerStatus::ServerStatus(OperatorReport& report)
    : m_report(report) {}

void ServerStatus::QueueRead(int waiting, int setAside) {
    if (waiting == m_waiting && setAside == m_setAside)
        return;
    m_waiting = waiting;
    m_setAside = setAside;
    Changed();
}

void ServerStatus::RoleChanged(const QString& text) {
    if (text == m_roleText)
        return;
    m_roleText = text;
    Changed();
}

void ServerStatus::PrinterFailed(const QString& printer, const QString& error) {
    qsizetype index = IndexOf(printer);
    if (index >= 0 && m_failing.at(index).second == error)
        return;
    if (index < 0) {
        index = m_failing.size();
        m_failing.append({printer, QString()});
    }
    m_failing[index].second = error;
    // Under the name it first failed with: one printer under the printer-name rule.
    m_report.Started(FaultKind::PrinterFailing, m_failing.at(index).first,
                     QStringLiteral("Yazici calismiyor: ") + printer + QStringLiteral(" -- ") +
                         error);
    Changed();
}

void ServerStatus::PrinterBack(const QString& printer) {
    const qsizetype index = IndexOf(printer);
    if (index < 0)
        return;
    m_report.Ended(FaultKind::PrinterFailing, m_failing.at(index).first);
    m_failing.removeAt(index);
    Changed();
}

void ServerStatus::PrinterWarned(const QString& printer, const QString& warning) {
    if (warning == EscPosStatus::kPaperNearEnd)
        m_report.Started(FaultKind::PaperLow, printer, QString());
    else
        m_report.Ended(FaultKind::PaperLow, printer);
}

void ServerStatus::TookOver(const QString& logLine) {
    m_report.Happened(FaultKind::Takeover, logLine);
}

QString ServerStatus::Summary() const {
    QString summary = QStringLiteral("Velmora\n");
    if (!m_roleText.isEmpty())
        summary += m_roleText + QLatin1Char('\n');
    summary += QStringLiteral("Bekleyen is: %1, atlanan is: %2").arg(m_waiting).arg(m_setAside);
    for (const auto& [printer, error] : m_failing)
        summary += QLatin1Char('\n') + printer + QStringLiteral(" -- ") + error;
    return summary;
}

qsizetype ServerStatus::IndexOf(const QString& printer) const {
    for (qsizetype i = 0; i < m_failing.size(); ++i) {
        if (SamePrinterName(m_failing.at(i).first, printer))
            return i;
    }
    return -1;
}

void ServerStatus::Changed() {
    if (m_listener)
        m_listener();
}
