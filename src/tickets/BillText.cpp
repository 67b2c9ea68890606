#include "tickets/BillText.h"

#include "core/NumberForms.h"
#include "print/TicketMarkup.h"

bool IsNoAmount(const QString& amountText) {
    return amountText.isEmpty() || TrimBlanksAndControls(amountText) == QLatin1String("0");
}

QString AmountLine(const QString& amountText) {
    return kRightPart + amountText + QLatin1String(" TL");
}

QString QuantityField(const QVariant& quantity) {
    return QuantityText(quantity).leftJustified(3);
}

QString TableInformationText(const TYazimIsi& job) {
    return job.Departman + QLatin1String(" - ") + job.MASANO + QLatin1String(" - ") + job.Garson;
}

QString WaiterCopyLine(const TYazimIsi& job) {
    return job.YaziciAdi == QLatin1String("G") ? QStringLiteral("-- GARSON NUSHASI --") : QString();
}
