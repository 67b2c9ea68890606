#include "status/OperatorReport.h"

#include "log/DiagnosticLog.h"

namespace {

// The faults that stop jobs: the desktop tells them at once. Printers show in the tray's tooltip,
// and the rest only slow the server down.
bool StopsJobs(FaultKind kind) {
    switch (kind) {
    case FaultKind::DatabaseLost:
    case FaultKind::QueueUnreadable:
    case FaultKind::JobFailing:
    case FaultKind::JobSetAside:
        return true;
    case FaultKind::QueueCheckFailing:
    case FaultKind::PrinterFailing:
    case FaultKind::PaperLow:
    case FaultKind::Takeover:
    case FaultKind::LeaseFailing:
    case FaultKind::LeaseUnusable:
    case FaultKind::JournalUnwritable:
    case FaultKind::JournalUnreadable:
    case FaultKind::ScreenCardsFailing:
        break;
    }
    return false;
}

} // namespace

OperatorReport::OperatorReport(DiagnosticLog& log)
    : m_log(log) {}

void OperatorReport::Started(FaultKind kind, const QString& subject, const QString& message) {
    const auto on = m_on.find({kind, subject});
    if (on != m_on.end()) {
        if (*on == message)
            return;
        *on = message;
        Tell(kind, message);
        return;
    }
    m_on.insert({kind, subject}, message);
    Tell(kind, message);
    if (m_listener)
        m_listener({kind, subject, true, message});
}

void OperatorReport::Ended(FaultKind kind, const QString& subject, const QString& message) {
    if (m_on.remove({kind, subject}) == 0)
        return;
    if (!message.isEmpty())
        Tell(kind, message);
    if (m_listener)
        m_listener({kind, subject, false, message});
}

void OperatorReport::EndedAll(FaultKind kind) {
    const QList<Fault> faults = m_on.keys();
    for (const Fault& fault : faults) {
        if (fault.first == kind)
            Ended(kind, fault.second);
    }
}

bool OperatorReport::isOn(FaultKind kind, const QString& subject) const {
    return m_on.contains({kind, subject});
}

void OperatorReport::Happened(FaultKind kind, const QString& message) {
    if (m_listener)
        m_listener({kind, QString(), true, message});
}

void OperatorReport::RetellFaults() {
    if (!m_listener)
        return;
    for (auto on = m_on.cbegin(); on != m_on.cend(); ++on)
        m_listener({on.key().first, on.key().second, true, on.value()});
}

void OperatorReport::Tell(FaultKind kind, const QString& message) {
    if (message.isEmpty())
        return;
    m_log.LogLine(message, true);
    if (m_notice && StopsJobs(kind))
        m_notice(message);
}
