#include "tickets/BillPrinter.h"

#include "print/PrinterPaths.h"
#include "print/TicketPrinter.h"
#include "queue/JobContext.h"
#include "tickets/BillSettings.h"

namespace {

bool KeepsBillPrinter(const QString& jobPrinter) {
    return jobPrinter.isEmpty() || jobPrinter == QLatin1String("G");
}

} // namespace

void PrintOnBillPrinter(JobContext& context, const Ticket& ticket, JobPrinterName rule) {
    const QString configured = ReadBillPrinterName(context.settings, context.job.Departman);
    const bool useConfigured =
        rule == JobPrinterName::Ignored || KeepsBillPrinter(context.job.YaziciAdi);
    const QString path = context.registry.FindPrinterPath(useConfigured ? configured : QString());
    if (!path.isEmpty())
        context.printer.PrintTicket(path, ticket);
}
