#pragma once

#include "db/DatabaseProduct.h"

#include <QList>
#include <QString>

// The statement texts of the queue and line queries, exactly as they go to SQL Server.

// Q: the queue rows with their waiter, bill header and department, in queue order.
QString QueueStatement();
// Q narrowed to one job, for a tool that looks at that job alone.
QString OneJobQueueStatement(qint64 jobId);
// A: the lines of one bill with their production and extra printers (":SIP", ":ID", ":YAZ",
// ":IADE").
QString LineStatement();
// X as the main window first opens it, with ":SIP" and ":ID" null, to prove the tables fit.
QString AuxiliaryStatement();
// The deletion of a processed queue row by its integer key.
QString DeleteJobStatement(qint64 jobId);
// Start-up's clean-up of queue rows that name no bill.
QString DeleteOrphanJobsStatement();
// A question asked between the poll ticks whose answer changes when a job may have been queued.
// On SQLite the connection's data_version, which only other connections' commits change, so the
// server's own marks and deletions go unnoticed. Elsewhere the highest queue key with the row
// count: a key alone misses a job committed after one with a higher key, as terminals writing
// at once may do.
QString QueueChangeStatement(DatabaseProduct product);
