#include "tickets/AccountSlip.h"

#include "job/JobContext.h"
#include "print/TicketMarkup.h"
#include "tickets/BillBody.h"
#include "tickets/BillOptions.h"
#include "tickets/BillPrinter.h"
#include "tickets/BillText.h"

void PrintAccountSlip(JobContext& context, Ticket slip, const QStringList& foot) {
    slip << kRightPart + QStringLiteral("#TARIH# #SAAT#");
    if (context.options.tableInfoFlag)
        slip << PlainLine(TableInformationText(context.job)) << WaiterCopyLine(context.job);
    AppendBillBody(slip, context.A, context.job, DiscountLayout::Lines);
    slip << kSeparator << foot;
    PrintOnBillPrinter(context, slip, JobPrinterName::Honoured);
}
