#include "core/CurrencyValue.h"

#include "core/Error.h"

#include <QString>
#include <algorithm>
#include <cmath>
#include <limits>

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
    // A number may still come as text (a column of no numeric type): take its digits as they are.
    qint64 result = 0;
    if (currencyFromDecimalText(value, value.toString().trimmed(), result))
        return result;
    bool isNumber = false;
    const double units = value.toDouble(&isNumber);
    return isNumber ? currencyFromDouble(value, units) : 0;
}
