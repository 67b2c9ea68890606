#include "support/CapturingTicketPrinter.h"

#include "core/Error.h"

PrintOutcome CapturingTicketPrinter::PrintTicket(const QString& path, const Ticket& ticket) {
    const QString failure = CheckPrinter(path);
    if (!failure.isEmpty())
        throw PrinterError(failure);
    m_printed.append({path, ticket});
    if (m_afterPrint)
        m_afterPrint(m_printed.last());
    return {};
}

QString CapturingTicketPrinter::CheckPrinter(const QString& path) {
    int& failures = m_failures[path];
    if (failures == 0)
        return QString();
    --failures;
    return QStringLiteral("Yazici hatasi: ") + path;
}

QStringList CapturingTicketPrinter::paths() const {
    QStringList result;
    for (const Printed& printed : m_printed)
        result << printed.path;
    return result;
}

QList<Ticket> CapturingTicketPrinter::TicketsFor(const QString& path) const {
    QList<Ticket> result;
    for (const Printed& printed : m_printed) {
        if (printed.path == path)
            result << printed.ticket;
    }
    return result;
}
