#pragma once

#include <QString>
#include <QStringList>

class PrinterSource;

// The one case rule of printer names: two names are the same printer when they are equal
// without regard to letter case, the same on every locale (a Turkish machine folds "I" and "i"
// together too), as SQL Server's usual collation and Windows compare them. It holds for the
// search among the installed printers, the production and extra printer lists of a job, the
// line filters and the registry's lookup of a logical name (PrinterRegistry::FindPrinterPath).
bool SamePrinterName(const QString& a, const QString& b);

// Whether the list holds the name under that rule.
bool HoldsPrinterName(const QStringList& names, const QString& name);

// The printer a path selects: the first installed printer whose name is the path under that
// rule, else the path itself when it names a virtual printer, else the empty text.
QString FindInstalledPrinter(PrinterSource& printers, const QString& path);
