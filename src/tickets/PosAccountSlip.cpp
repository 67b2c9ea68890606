#include "job/JobContext.h"
#include "print/TicketMarkup.h"
#include "tickets/AccountSlip.h"
#include "tickets/BillSettings.h"
#include "tickets/TicketBuilders.h"

void BuildPosAccountSlip(JobContext& context) {
    const TYazimIsi& job = context.job;
    const Ticket head{
        QString(),
        kHeading + ReadCompanyName(context.settings),
        kSeparator,
        kHeading + QStringLiteral("POS HESAP FİŞİ"),
        QStringLiteral("Fiş No:") + job.AdisyonID,
        QStringLiteral("FaturaETTN:"),
        PlainLine(job.FaturaETTN),
        QStringLiteral("FaturaNo:") + job.FaturaNo,
        QString(),
    };
    PrintAccountSlip(context, head,
                     {QStringLiteral("Pos Bilgi fişi"),
                      kHeading + QStringLiteral("MALİ DEĞERİ YOKTUR"), QString()});
}
