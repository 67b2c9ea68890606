#include "db/IntegerValue.h"

#include "core/Error.h"

qint64 IntegerValue(const QString& text, const QString& fieldName) {
    bool isInteger = false;
    const qint64 value = text.toLongLong(&isInteger);
    if (!isInteger) {
        throw Error(fieldName + QStringLiteral(" gecerli bir tamsayi degil: '") + text +
                    QLatin1Char('\''));
    }
    return value;
}
