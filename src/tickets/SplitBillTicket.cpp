#include "core/CurrencyValue.h"
#include "core/NumberForms.h"
#include "db/Query.h"
#include "db/SqlLiteral.h"
#include "job/JobContext.h"
#include "print/TicketMarkup.h"
#include "tickets/BillOptions.h"
#include "tickets/BillPrinter.h"
#include "tickets/BillSettings.h"
#include "tickets/BillText.h"
#include "tickets/RunningTotal.h"
#include "tickets/TicketBuilders.h"

namespace {

// The lines of the sub-account with their units; no treat mark, no notes.
qint64 AppendSubAccountLines(Ticket& ticket, Query& A) {
    qint64 runningTotal = 0;
    for (A.First(); !A.Eof(); A.Next()) {
        ticket << QuantityField(A.value(QStringLiteral("ADET"))) + QLatin1Char(' ') +
                      A.text(QStringLiteral("BIRIM")).leftJustified(5) + QLatin1Char(' ') +
                      A.text(QStringLiteral("ADI"));
        ticket << AmountLine(AmountText(A.number(QStringLiteral("TUTAR"))));
        runningTotal =
            AddToRunningTotal(runningTotal, CurrencyFromVariant(A.value(QStringLiteral("TUTAR"))));
    }
    return runningTotal;
}

} // namespace

void BuildSplitBillTicket(JobContext& context) {
    const TYazimIsi& job = context.job;
    Ticket ticket;
    ticket << kHeading + ReadCompanyName(context.settings) << QString()
           << kRightPart + QStringLiteral("#TARIH# #SAAT#")
           << QStringLiteral("Ads No: ") + job.AdisyonID << PlainLine(TableInformationText(job))
           << QString()
           << QStringLiteral("Hesap : ") + job.ParcaliHesap + QStringLiteral(", ") + job.ParcaliTur
           << QStringLiteral("AD. BIRIM URUN") << kRightPart + QStringLiteral("TUTAR")
           << kSeparator;
    {
        // H is numeric: a sub-account that is no whole number matches no line. The next job
        // must see A unfiltered, so the filter goes however this block ends.
        const ScopedFilter subAccount(context.A,
                                      QStringLiteral("H=") + SqlStringLiteral(job.ParcaliHesap));
        const qint64 runningTotal = AppendSubAccountLines(ticket, context.A);
        ticket << kSeparator << QStringLiteral("Toplam   : ")
               << AmountLine(CurrencyAmountText(runningTotal)) << QString()
               << QStringLiteral("Indirim : %") + job.INDORAN << AmountLine(job.INDTOPLAM)
               << QStringLiteral("Servis  : %") + job.SERVISORAN << AmountLine(job.SERVISTUTAR)
               << QString() << kHeading + QStringLiteral("Genel Toplam :") << QString()
               << kSeparator << QString() << QString();
    }
    if (context.options.printRatesFlag)
        ticket << context.options.exchangeRateLine;
    ticket << kHeading + ReadClosingText(context.settings) << QStringLiteral(".");

    PrintOnBillPrinter(context, ticket, JobPrinterName::Ignored);
}
