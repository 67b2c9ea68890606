#pragma once

#include "core/Error.h"
#include "print/Ticket.h"

#include <QString>

struct JobContext;

// A ticket whose printer (and its backup, where it has one) fails now. Not a fault of the job:
// the job stays queued, its other tickets print, and this one prints once the printer is back.
class PrinterWaiting : public PrinterError {
public:
    PrinterWaiting(QString printer, const QString& message)
        : PrinterError(message)
        , m_printer(std::move(printer)) {}

    // The logical printer the ticket waits for.
    const QString& printer() const { return m_printer; }
    QString className() const override { return QStringLiteral("PrinterWaiting"); }

private:
    QString m_printer;
};

// Prints a ticket on the printer a logical name stands for, the one way every builder prints.
// A name the registry does not know prints nothing and reports nothing. A printer known to fail
// is not tried: its tickets go to its backup under the heading "YEDEK: <name> yerine" (a forced
// log line says so), or wait. A printer that fails now is known to fail from then on
// (job/PrinterHealth.h). Throws PrinterWaiting when the ticket did not print. Every attempt,
// on the backup and at a later tick too, asks the fence once the printer is ready, right
// before the ticket's bytes leave; its FenceLost goes through with nothing printed.
struct TicketDestination {
    QString path;                // empty when the name has none
    bool printerMissing = false; // the path names no printer of this machine: nothing printed
};
TicketDestination PrintOnLogicalPrinter(JobContext& context, const QString& name,
                                        const Ticket& ticket);
