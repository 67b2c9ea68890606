#include "kitchen/ItemLine.h"

#include <QRegularExpression>

namespace {
constexpr int kQuantityWidth = 3;
}

QString ItemLine(const QString& quantity, const QString& item) {
    return quantity.leftJustified(kQuantityWidth, QLatin1Char(' ')) + QLatin1Char(' ') + item;
}

std::optional<OrderedItem> ReadItemLine(const QString& line) {
    // A quantity as the database gives it: digits with a decimal separator, or none at all.
    static const QRegularExpression form(QStringLiteral("^(-?[0-9]+(?:[.,][0-9]+)?)?( +)(\\S.*)$"));
    const QRegularExpressionMatch match = form.match(line);
    if (!match.hasMatch())
        return std::nullopt;
    const QString quantity = match.captured(1);
    const qsizetype blanks = match.capturedLength(2);
    if (blanks != std::max<qsizetype>(1, kQuantityWidth + 1 - quantity.size()))
        return std::nullopt;
    return OrderedItem{quantity, match.captured(3)};
}
