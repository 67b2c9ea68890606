#pragma once

#include "core/RegionalSettings.h"

#include <QChar>
#include <QString>
#include <QVariant>

// The number forms printed on tickets; the separator defaults to the system's.

// "#.##": at most two decimals (half away from zero), no forced integer digit, no grouping,
// the empty text for a value that rounds to zero.
QString AmountText(double value, QChar separator = RegionalSettings::current().decimalSeparator);
// The same for a currency value held in ten-thousandths, rounded from its exact digits.
QString CurrencyAmountText(qint64 tenThousandths,
                           QChar separator = RegionalSettings::current().decimalSeparator);

// The shortest general form with up to 15 significant digits; a null gives the empty text.
QString QuantityText(const QVariant& value,
                     QChar separator = RegionalSettings::current().decimalSeparator);
QString QuantityText(double value, QChar separator = RegionalSettings::current().decimalSeparator);

// A currency value held in ten-thousandths, written with as many decimals as needed (up to
// four); 0 gives "0".
QString BalanceText(qint64 tenThousandths,
                    QChar separator = RegionalSettings::current().decimalSeparator);
