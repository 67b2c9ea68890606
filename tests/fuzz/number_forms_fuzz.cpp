#include "FuzzInput.h"
#include "core/CurrencyValue.h"
#include "core/Error.h"
#include "core/NumberForms.h"
#include "tickets/Ean13.h"

#include <cstring>

// Every double, every currency value and every text gives a form or a clear refusal without
// crashing, and an amount text never carries more than two decimals.
extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size >= sizeof(double)) {
        double value = 0;
        std::memcpy(&value, data, sizeof value);
        const QString amount = AmountText(value, QLatin1Char(','));
        const qsizetype comma = amount.indexOf(QLatin1Char(','));
        if (comma >= 0 && amount.size() - comma - 1 > 2)
            __builtin_trap();
        (void)QuantityText(value, QLatin1Char('.'));
        qint64 currency = 0;
        std::memcpy(&currency, data, sizeof currency);
        (void)BalanceText(currency, QLatin1Char(','));
    }
    const QString text = FuzzText(data, size);
    try {
        (void)CurrencyFromVariant(text);
    } catch (const DatabaseError&) {
        // beyond the range of a currency value: refused, as it must be
    }
    if (Ean13Text(text).size() != 13)
        __builtin_trap();
    return 0;
}
