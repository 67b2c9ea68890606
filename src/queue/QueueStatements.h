#pragma once

#include <QString>

// The statement texts of the queue and line queries, exactly as they go to SQL Server.

// Q: the queue rows with their waiter, bill header and department.
QString QueueStatement();
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
