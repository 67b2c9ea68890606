#include "web/TestPageTicket.h"

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

QString StateText(const PrinterSnapshot& printer) {
    switch (printer.state) {
    case PrinterSnapshot::State::Working:
        return QStringLiteral("Calisiyor");
    case PrinterSnapshot::State::PaperLow:
        return QStringLiteral("Kagit azaliyor");
    case PrinterSnapshot::State::Failing:
        break;
    }
    return QStringLiteral("Calismiyor: ") + printer.reason;
}

} // namespace

Ticket TestPageTicket(const PrinterSnapshot& printer) {
    return {kHeading + QStringLiteral("TEST SAYFASI"),
            QStringLiteral("Yazici: ") + printer.name,
            QStringLiteral("Adres: ") + printer.path,
            QStringLiteral("Durum: ") + StateText(printer),
            QStringLiteral("Saat: #TARIH# #SAAT#"),
            kSeparator,
            Ruler(),
            kSeparator,
            kBarcode + QStringLiteral("TEST"),
            kSeparator};
}
