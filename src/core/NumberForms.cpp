#include "core/NumberForms.h"

#include "core/Error.h"

#include <QLocale>
#include <algorithm>
#include <cmath>
#include <limits>

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
    const bool negative = tenThousandths < 0;
    const quint64 magnitude =
        negative ? 0 - static_cast<quint64>(tenThousandths) : static_cast<quint64>(tenThousandths);
    QString fraction = QString::number(magnitude % 10000).rightJustified(4, QLatin1Char('0'));
    while (fraction.endsWith(QLatin1Char('0')))
        fraction.chop(1);
    QString text = negative ? QStringLiteral("-") : QString();
    text += QString::number(magnitude / 10000);
    if (!fraction.isEmpty())
        text += separator + fraction;
    return text;
}

namespace {

// A currency value is a signed 64-bit count of ten-thousandths, as SQL Server's money is.
constexpr qint64 kMaxTenThousandths = std::numeric_limits<qint64>::max();

[[noreturn]] void outOfRange(const QVariant& value) {
    throw DatabaseError(QStringLiteral("Para degeri aralik disinda: ") + value.toString());
}

qint64 currencyFromDouble(const QVariant& original, double units) {
    const double scaled = units * 10000.0;
    if (!std::isfinite(scaled) || std::fabs(scaled) >= 9.2e18)
        outOfRange(original);
    return std::llround(scaled);
}

// "[-+]digits[.digits]" read exactly, the fifth decimal rounding half away from zero.
bool currencyFromDecimalText(const QVariant& original, const QString& text, qint64& result) {
    const bool negative = text.startsWith(QLatin1Char('-'));
    const QString digits = (negative || text.startsWith(QLatin1Char('+'))) ? text.mid(1) : text;
    const qsizetype point = digits.indexOf(QLatin1Char('.'));
    const QString whole = point < 0 ? digits : digits.left(point);
    const QString fraction = point < 0 ? QString() : digits.mid(point + 1);
    if (whole.isEmpty() && fraction.isEmpty())
        return false;
    auto allDigits = [](const QString& part) {
        return std::all_of(part.begin(), part.end(),
                           [](QChar c) { return c.isDigit() && c.unicode() < 128; });
    };
    if (!allDigits(whole) || !allDigits(fraction))
        return false;

    qint64 magnitude = 0;
    const QString scaled = whole + fraction.left(4).leftJustified(4, QLatin1Char('0'));
    for (QChar digit : scaled) {
        const int value = digit.unicode() - '0';
        if (magnitude > (kMaxTenThousandths - value) / 10)
            outOfRange(original);
        magnitude = magnitude * 10 + value;
    }
    if (fraction.size() > 4 && fraction.at(4) >= QLatin1Char('5')) {
        if (magnitude == kMaxTenThousandths)
            outOfRange(original);
        ++magnitude;
    }
    result = negative ? -magnitude : magnitude;
    return true;
}

} // namespace

qint64 CurrencyFromVariant(const QVariant& value) {
    if (value.isNull())
        return 0;
    switch (value.metaType().id()) {
    case QMetaType::Int:
    case QMetaType::LongLong:
    case QMetaType::UInt:
    case QMetaType::ULongLong: {
        bool fits = false;
        const qint64 units = value.toLongLong(&fits);
        if (!fits || units > kMaxTenThousandths / 10000 || units < -(kMaxTenThousandths / 10000))
            outOfRange(value);
        return units * 10000;
    }
    case QMetaType::Double:
    case QMetaType::Float:
        return currencyFromDouble(value, value.toDouble());
    default:
        break;
    }
    // Decimal columns arrive as text when read at high precision: take the digits as they are.
    qint64 result = 0;
    if (currencyFromDecimalText(value, value.toString().trimmed(), result))
        return result;
    bool isNumber = false;
    const double units = value.toDouble(&isNumber);
    return isNumber ? currencyFromDouble(value, units) : 0;
}
