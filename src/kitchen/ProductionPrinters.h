#pragma once

#include <QList>
#include <QString>
#include <QStringList>
#include <utility>

struct JobContext;

// The printers a production or cancellation job goes to, each name once under the printer-name
// rule (print/PrinterNames.h), in order of first appearance.
struct PrinterLists {
    QStringList production; // may hold the empty name: products without any printer
    QStringList extra;      // never holds the empty name
    // Each extra printer with a production printer whose lines it follows: its ticket comes
    // once that production ticket is out.
    QList<std::pair<QString, QString>> extraBehind;
};

// Fills both lists from the bill's lines that are still to be printed, through X.
void ResolveProductionPrinters(JobContext& context, PrinterLists& lists);

// Adds to the extra list the extra printers that an earlier attempt at the job left owed, read
// from the line flags (through EKA, as the job opened it), so a restart or a reconnect still
// prints them once. The sale lines of
// the table "ZH" keep EKYAZ at 0 by design; they are printed again with the bill's next
// production job instead.
void AddOwedExtraPrinters(JobContext& context, PrinterLists& lists);

// Appends the name unless the list already holds it under the printer-name rule.
void AppendDistinct(QStringList& list, const QString& name);
