#include "core/NumberForms.h"

#include <QLocale>
#include <cmath>

namespace {

// Rounds a plain decimal text ("-12.345") to two decimals, half away from zero, and drops
// trailing zeros. Working on the digits keeps a stored 2.675 from becoming 2.67499999...
QString roundDecimalText(QString digits, bool negative) {
    int point = digits.indexOf(QLatin1Char('.'));
    if (point < 0) {
        point = digits.size();
        digits += QLatin1Char('.');
    }
    QString fraction = digits.mid(point + 1);
    QString whole = digits.left(point);
    const bool roundUp = fraction.size() > 2 && fraction.at(2) >= QLatin1Char('5');
    fraction = fraction.left(2).leftJustified(2, QLatin1Char('0'));

    QString number = whole + fraction;
    if (roundUp) {
        int i = number.size() - 1;
        while (i >= 0 && number.at(i) == QLatin1Char('9')) {
            number[i] = QLatin1Char('0');
            --i;
        }
        if (i < 0)
            number.prepend(QLatin1Char('1'));
        else
            number[i] = QChar(number.at(i).unicode() + 1);
    }
    whole = number.left(number.size() - 2);
    fraction = number.right(2);
    while (whole.startsWith(QLatin1Char('0')))
        whole.remove(0, 1);
    while (fraction.endsWith(QLatin1Char('0')))
        fraction.chop(1);
    if (whole.isEmpty() && fraction.isEmpty())
        return QString();
    QString result = negative ? QStringLiteral("-") : QString();
    result += whole;
    if (!fraction.isEmpty())
        result += QLatin1Char('.') + fraction;
    return result;
}

quint64 magnitudeOf(qint64 value) {
    return value < 0 ? 0 - static_cast<quint64>(value) : static_cast<quint64>(value);
}

QString withSeparator(QString text, QChar separator) {
    text.replace(QLatin1Char('.'), separator);
    return text;
}

} // namespace

QString AmountText(double value, QChar separator) {
    if (!std::isfinite(value))
        return QString();
    const QString shortest = QString::number(std::fabs(value), 'f', QLocale::FloatingPointShortest);
    return withSeparator(roundDecimalText(shortest, value < 0), separator);
}

QString CurrencyAmountText(qint64 tenThousandths, QChar separator) {
    const quint64 magnitude = magnitudeOf(tenThousandths);
    const QString digits = QString::number(magnitude / 10000) + QLatin1Char('.') +
                           QString::number(magnitude % 10000).rightJustified(4, QLatin1Char('0'));
    return withSeparator(roundDecimalText(digits, tenThousandths < 0), separator);
}

QString QuantityText(double value, QChar separator) {
    return withSeparator(QString::number(value, 'g', 15), separator);
}

QString QuantityText(const QVariant& value, QChar separator) {
    if (value.isNull())
        return QString();
    bool isNumber = false;
    const double number = value.toDouble(&isNumber);
    return isNumber ? QuantityText(number, separator) : value.toString();
}

QString BalanceText(qint64 tenThousandths, QChar separator) {
    const quint64 magnitude = magnitudeOf(tenThousandths);
    QString fraction = QString::number(magnitude % 10000).rightJustified(4, QLatin1Char('0'));
    while (fraction.endsWith(QLatin1Char('0')))
        fraction.chop(1);
    QString text = tenThousandths < 0 ? QStringLiteral("-") : QString();
    text += QString::number(magnitude / 10000);
    if (!fraction.isEmpty())
        text += separator + fraction;
    return text;
}
