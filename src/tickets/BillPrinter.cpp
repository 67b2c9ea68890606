#include "tickets/BillPrinter.h"

#include "job/JobContext.h"
#include "job/LogicalPrinting.h"
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
    PrintOnLogicalPrinter(context, useConfigured ? configured : QString(), ticket);
}
