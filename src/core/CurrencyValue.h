#pragma once

#include <QVariant>

// A database value read as a currency value in ten-thousandths. Decimal text is read exactly;
// a floating-point value is rounded to the nearest ten-thousandth; null is 0. A value beyond
// the range of a currency (SQL Server's money) is a DatabaseError.
qint64 CurrencyFromVariant(const QVariant& value);
