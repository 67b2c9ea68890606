#pragma once

#include <QList>
#include <QString>

// The statement texts of the kitchen tickets, exactly as they go to SQL Server.

// EKA: as A, with EKYAZ in place of the customer code and the payments, compared with ":YAZ".
QString ExtraLineStatement();
// The distinct production and extra printers of a bill's pending lines. The department code
// goes in as an SQL string literal and the bill ID as the integer it has been checked to be.
QString ProductionPrinterStatement(const QString& departmentCode, const QString& jobType,
                                   qint64 billId);
// Marks the lines one kitchen ticket carried, by their integer keys in ticket order: SIP and
// the ticket's own flag ("YAZ" or "EKYAZ"). Return lines always get the flag; sale lines of
// the restaurant table "ZH" (MASANO) keep it at 0, so its bill still finds them.
QString MarkLinesStatement(const QString& flagColumn, const QString& jobType,
                           const QString& tableNumber, const QList<qint64>& lineIds);
