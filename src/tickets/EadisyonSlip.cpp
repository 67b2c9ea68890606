#include "job/JobContext.h"
#include "print/TicketMarkup.h"
#include "tickets/AccountSlip.h"
#include "tickets/BillSettings.h"
#include "tickets/TicketBuilders.h"

void BuildEadisyonSlip(JobContext& context) {
    const TYazimIsi& job = context.job;
    const Ticket head{
        QString(),
        kHeading + ReadCompanyName(context.settings),
        kHeading + QStringLiteral("Eadisyon Bilgi Fişi"),
        kHeading + QStringLiteral("Fiş No:") + job.AdisyonID,
        QStringLiteral("ETTN:"),
        PlainLine(job.ALAN),
        QStringLiteral("Eadisyon No:") + job.ADISYONNO,
        QString(),
    };
    PrintAccountSlip(context, head, {kHeading + QStringLiteral("MALİ DEĞERİ YOKTUR"), QString()});
}
