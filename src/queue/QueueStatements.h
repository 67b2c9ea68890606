#pragma once

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
// EKA: as A, with EKYAZ in place of the customer code and the payments, compared with ":YAZ".
QString ExtraLineStatement();
// The distinct production and extra printers of a bill's pending lines. The department code
// goes in as an SQL string literal and the bill ID as the integer it has been checked to be.
QString ProductionPrinterStatement(const QString& departmentCode, const QString& jobType,
                                   qint64 billId);
// X as the main window first opens it, with ":SIP" and ":ID" null, to prove the tables fit.
QString AuxiliaryStatement();
// The deletion of a processed queue row by its integer key.
QString DeleteJobStatement(qint64 jobId);
// Start-up's clean-up of queue rows that name no bill.
QString DeleteOrphanJobsStatement();
// Marks the lines one kitchen ticket carried, by their integer keys in ticket order: SIP and
// the ticket's own flag ("YAZ" or "EKYAZ"). Return lines always get the flag; sale lines of
// the restaurant table "ZH" (MASANO) keep it at 0, so its bill still finds them.
QString MarkLinesStatement(const QString& flagColumn, const QString& jobType,
                           const QString& tableNumber, const QList<qint64>& lineIds);
// A question asked between the poll ticks whose answer changes when a job may have been queued.
// On SQLite the connection's data_version, which only other connections' commits change, so the
// server's own marks and deletions go unnoticed. Elsewhere the highest queue key with the row
// count: a key alone misses a job committed after one with a higher key, as terminals writing
// at once may do.
QString QueueChangeStatement(bool sqlite);
