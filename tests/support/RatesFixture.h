#pragma once

#include <QString>

// A small daily exchange-rate file laid out like the central bank's: the dollar first, another
// currency between, then the euro, each with its forex rates before the banknote rates.
QString RatesXml(const QString& usdBanknoteBuying, const QString& eurBanknoteBuying);
