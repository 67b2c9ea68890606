#pragma once

#include <QtGlobal>

// The running total of a bill counts in ten-thousandths, as the database's money columns do, so
// that a banquet's or a month's total is exactly the sum of the amounts its lines show. A sum
// beyond the range of money is a DatabaseError.
qint64 AddToRunningTotal(qint64 runningTotal, qint64 tenThousandths);
