#include "support/RecordingPrinter.h"

RecordingPrinter::RecordingPrinter(const TYazimIsi& job, DiagnosticLog& log, QStringList installed,
                                   const PrintSettings& settings)
    : m_printers(std::move(installed))
    , m_engine(job.AdisyonID, settings, log, m_printers,
               [this](int milliseconds) { m_pauses.append(milliseconds); }) {}

PrintOutcome RecordingPrinter::PrintTicket(const QString& path, const Ticket& ticket) {
    const int before = m_printers.documentCount();
    // The ticket is attached even when the engine throws, so aborted documents show it too.
    struct Attach {
        RecordingPrinter& self;
        int first;
        const QString& path;
        const Ticket& ticket;
        ~Attach() {
            for (int i = first; i < self.m_printers.documentCount(); ++i) {
                self.m_printers.document(i).path = path;
                self.m_printers.document(i).lines = ticket;
            }
        }
    } attach{*this, before, path, ticket};
    return m_engine.PrintTicket(path, ticket);
}

QList<Ticket> RecordingPrinter::TicketsFor(const QString& path) const {
    QList<Ticket> tickets;
    for (int i = 0; i < m_printers.documentCount(); ++i) {
        const RecordedDocument& document = m_printers.document(i);
        if (document.path == path && document.ended && !document.aborted)
            tickets.append(document.lines);
    }
    return tickets;
}
