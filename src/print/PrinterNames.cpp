#include "print/PrinterNames.h"

#include "print/PrinterSource.h"

#include <algorithm>

bool SamePrinterName(const QString& a, const QString& b) {
    return a.compare(b, Qt::CaseInsensitive) == 0;
}

bool HoldsPrinterName(const QStringList& names, const QString& name) {
    return std::any_of(names.begin(), names.end(),
                       [&name](const QString& held) { return SamePrinterName(held, name); });
}

QString FindInstalledPrinter(PrinterSource& printers, const QString& path) {
    const QStringList installed = printers.InstalledPrinters();
    const auto match =
        std::find_if(installed.begin(), installed.end(),
                     [&path](const QString& name) { return SamePrinterName(name, path); });
    if (match != installed.end())
        return *match;
    return printers.IsVirtualPrinter(path) ? path : QString();
}
