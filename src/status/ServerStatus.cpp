#include "status/ServerStatus.h"

#include "log/DiagnosticLog.h"
#include "print/EscPosStatus.h"
#include "print/PrinterNames.h"

ServerStatus::ServerStatus(DiagnosticLog& log)
    : m_log(log) {}

void ServerStatus::QueueRead(int waiting, int setAside) {
    if (waiting == m_waiting && setAside == m_setAside)
        return;
    m_waiting = waiting;
    m_setAside = setAside;
    Changed();
}

void ServerStatus::RoleChanged(const QString& role, const QString& logLine) {
    if (role == m_role)
        return;
    m_role = role;
    if (!logLine.isEmpty())
        m_log.LogLine(logLine, true);
    Changed();
}

void ServerStatus::PrinterFailed(const QString& printer, const QString& error) {
    const qsizetype index = IndexOf(printer);
    if (index >= 0 && m_failing.at(index).second == error)
        return;
    if (index >= 0)
        m_failing[index].second = error;
    else
        m_failing.append({printer, error});
    m_log.LogLine(QStringLiteral("Yazici calismiyor: ") + printer + QStringLiteral(" -- ") + error,
                  true);
    Fault(FaultEvent::Kind::PrinterFailing, FaultEvent::Phase::Started, printer, error);
    Changed();
}

void ServerStatus::PrinterBack(const QString& printer) {
    const qsizetype index = IndexOf(printer);
    if (index < 0)
        return;
    m_failing.removeAt(index);
    Fault(FaultEvent::Kind::PrinterFailing, FaultEvent::Phase::Ended, printer, QString());
    Changed();
}

void ServerStatus::PrinterWarned(const QString& printer, const QString& warning) {
    const bool paperLow = warning == EscPosStatus::kPaperNearEnd;
    if (paperLow == HoldsPrinterName(m_paperLow, printer))
        return;
    if (paperLow)
        m_paperLow.append(printer);
    else
        m_paperLow.removeIf(
            [&printer](const QString& held) { return SamePrinterName(held, printer); });
    Fault(FaultEvent::Kind::PaperLow,
          paperLow ? FaultEvent::Phase::Started : FaultEvent::Phase::Ended, printer, warning);
}

void ServerStatus::TellLastingFaults() {
    for (const auto& [printer, error] : std::as_const(m_failing))
        Fault(FaultEvent::Kind::PrinterFailing, FaultEvent::Phase::Started, printer, error);
    for (const QString& printer : std::as_const(m_paperLow))
        Fault(FaultEvent::Kind::PaperLow, FaultEvent::Phase::Started, printer,
              EscPosStatus::kPaperNearEnd);
}

void ServerStatus::TookOver(const QString& logLine) {
    Fault(FaultEvent::Kind::Takeover, FaultEvent::Phase::Happened, QString(), logLine);
}

QString ServerStatus::Summary() const {
    QString summary = QStringLiteral("Velmora\n");
    if (!m_role.isEmpty())
        summary += m_role + QLatin1Char('\n');
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

void ServerStatus::Fault(FaultEvent::Kind kind, FaultEvent::Phase phase, const QString& subject,
                         const QString& detail) {
    if (m_faultListener)
        m_faultListener({kind, phase, subject, detail});
}
