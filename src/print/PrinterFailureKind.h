#pragma once

#include <QLatin1String>
#include <QString>

// What a printer's failure comes down to, in the few words a monitoring label may take: the
// reasons themselves name paths and queues and would make a new series each.
// "paper_end", "cover_open", "offline", "refused" (a spooler queue that takes no job), or
// "other".
QLatin1String PrinterFailureKind(const QString& reason);
