#include "print/TicketMarkup.h"
#include "queue/JobContext.h"
#include "tickets/BillBody.h"
#include "tickets/BillOptions.h"
#include "tickets/BillPrinter.h"
#include "tickets/BillSettings.h"
#include "tickets/BillText.h"
#include "tickets/TicketBuilders.h"

// The e-adisyon information slip and the POS account slip: each has a head and a foot of its
// own around the bill's body, and goes to the bill printer by the bill's rule.

namespace {

void PrintAccountSlip(JobContext& context, Ticket slip, const QStringList& foot) {
    slip << kRightPart + QStringLiteral("#TARIH# #SAAT#");
    if (context.options.tableInfoFlag)
        slip << TableInformationText(context.job) << WaiterCopyLine(context.job);
    AppendBillBody(slip, context.A, context.job, DiscountLayout::Lines);
    slip << kSeparator << foot;
    PrintOnBillPrinter(context, slip, JobPrinterName::Honoured);
}

} // namespace

void BuildEadisyonSlip(JobContext& context) {
    const TYazimIsi& job = context.job;
    const Ticket head{
        QString(),
        kHeading + ReadCompanyName(context.settings),
        kHeading + QStringLiteral("Eadisyon Bilgi Fişi"),
        kHeading + QStringLiteral("Fiş No:") + job.AdisyonID,
        QStringLiteral("ETTN:"),
        job.ALAN,
        QStringLiteral("Eadisyon No:") + job.ADISYONNO,
        QString(),
    };
    PrintAccountSlip(context, head, {kHeading + QStringLiteral("MALİ DEĞERİ YOKTUR"), QString()});
}

void BuildPosAccountSlip(JobContext& context) {
    const TYazimIsi& job = context.job;
    const Ticket head{
        QString(),
        kHeading + ReadCompanyName(context.settings),
        kSeparator,
        kHeading + QStringLiteral("POS HESAP FİŞİ"),
        QStringLiteral("Fiş No:") + job.AdisyonID,
        QStringLiteral("FaturaETTN:"),
        job.FaturaETTN,
        QStringLiteral("FaturaNo:") + job.FaturaNo,
        QString(),
    };
    PrintAccountSlip(context, head,
                     {QStringLiteral("Pos Bilgi fişi"),
                      kHeading + QStringLiteral("MALİ DEĞERİ YOKTUR"), QString()});
}
