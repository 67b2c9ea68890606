#include "web/TestPageTicket.h"

#include "print/PrinterOptions.h"
#include "print/TicketMarkup.h"

namespace {

constexpr int kRulerLength = 80;

QString Ruler() {
    QString ruler;
    for (int column = 1; column <= kRulerLength; ++column) {
        if (column % 10 == 0)
            ruler += QString::number(column / 10 % 10);
        else
            ruler += column % 5 == 0 ? QLatin1Char('+') : QLatin1Char('.');
    }
    return ruler;
}

} // namespace

Ticket TestPageTicket(const PrinterSnapshot& printer, const TicketOptions& options) {
    const QString optionsText = PrinterOptions::TicketText(options);
    return {kHeading + QStringLiteral("TEST SAYFASI"),
            QStringLiteral("Yazici: ") + printer.name,
            QStringLiteral("Adres: ") + printer.path,
            QStringLiteral("Secenekler: ") +
                (optionsText.isEmpty() ? QStringLiteral("yok") : optionsText),
            QStringLiteral("Durum: ") + PrinterStateText(printer),
            QStringLiteral("Saat: #TARIH# #SAAT#"),
            kSeparator,
            Ruler(),
            kSeparator,
            kItem + QStringLiteral("2   Ornek urun"),
            kNote + QStringLiteral("ORNEK NOT"),
            kSeparator,
            kBarcode + QStringLiteral("TEST"),
            kSeparator};
}
