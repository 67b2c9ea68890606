#include "tickets/RunningTotal.h"

#include "core/Error.h"

#include <QString>

qint64 AddToRunningTotal(qint64 runningTotal, qint64 tenThousandths) {
    qint64 sum = 0;
    if (__builtin_add_overflow(runningTotal, tenThousandths, &sum))
        throw DatabaseError(QStringLiteral("Para degeri aralik disinda: toplam"));
    return sum;
}
