#include "tickets/BillBody.h"

#include "core/CurrencyValue.h"
#include "core/NumberForms.h"
#include "db/Query.h"
#include "print/TicketMarkup.h"
#include "tickets/BillText.h"
#include "tickets/RunningTotal.h"

namespace {

// Item, amount or treat mark, and the note when there is one.
void AppendBillLine(Ticket& ticket, const Query& A) {
    ticket << QuantityField(A.value(QStringLiteral("ADET"))) + QLatin1Char(' ') +
                  A.text(QStringLiteral("ADI"));
    const double amount = A.number(QStringLiteral("TUTAR"));
    ticket << (amount == 0 ? kRightPart + QStringLiteral("İKRAM  TL")
                           : AmountLine(AmountText(amount)));
    const QString note = A.text(QStringLiteral("ACIKLAMA"));
    if (!note.isEmpty())
        ticket << PlainLine(note);
}

void AppendDiscount(Ticket& ticket, const TYazimIsi& job, DiscountLayout layout) {
    if (IsNoAmount(job.INDTOPLAM))
        return;
    const QString prefix = layout == DiscountLayout::Headings ? kHeading : QString();
    const QString rate = TrimBlanksAndControls(job.INDORAN);
    if (rate.isEmpty() || rate == QLatin1String("0")) {
        ticket << prefix + QStringLiteral("Indirim : ") << prefix + AmountLine(job.INDTOPLAM)
               << kSeparator;
    } else {
        ticket << prefix + QStringLiteral("Indirim : %") + job.INDORAN
               << prefix + AmountLine(job.INDTOPLAM);
    }
}

void AppendService(Ticket& ticket, const TYazimIsi& job) {
    if (IsNoAmount(job.SERVISTUTAR))
        return;
    ticket << QStringLiteral("Servis  : %") + job.SERVISORAN << AmountLine(job.SERVISTUTAR);
}

// The payment columns belong to the bill, so every row carries them; a bill without rows has
// none.
void AppendPayments(Ticket& ticket, Query& A) {
    if (A.isEmpty())
        return;
    A.Last();
    static const std::pair<const char*, const char*> payments[] = {
        {"ONAKIT", "Nakit: "},
        {"OKK", "K.Karti: "},
        {"OACIK", "Cari: "},
        {"OTICKET", "Ticket: "},
    };
    for (const auto& [column, caption] : payments) {
        const double amount = A.number(QLatin1String(column));
        if (amount > 0)
            ticket << QString::fromLatin1(caption) << AmountLine(AmountText(amount));
    }
}

} // namespace

qint64 AppendBillBody(Ticket& ticket, Query& A, const TYazimIsi& job, DiscountLayout layout) {
    ticket << QStringLiteral("AD. URUN") << kRightPart + QStringLiteral("B.FIYAT") << kSeparator;
    qint64 runningTotal = 0;
    for (A.First(); !A.Eof(); A.Next()) {
        AppendBillLine(ticket, A);
        runningTotal =
            AddToRunningTotal(runningTotal, CurrencyFromVariant(A.value(QStringLiteral("TUTAR"))));
    }
    ticket << kSeparator << QStringLiteral("Toplam   : ")
           << AmountLine(CurrencyAmountText(runningTotal)) << QString();
    AppendDiscount(ticket, job, layout);
    AppendService(ticket, job);
    AppendPayments(ticket, A);
    ticket << QString() << kHeading + QStringLiteral("Genel Toplam:")
           << kHeading + job.TOPLAM + QStringLiteral(" TL");
    return runningTotal;
}
