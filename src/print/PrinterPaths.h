#pragma once

#include <QString>

// Where the tickets of a logical printer go. Terminals, products and settings name logical
// printers; the builders ask here for the path of the printer that a name stands for.
class PrinterPaths {
public:
    virtual ~PrinterPaths() = default;

    // The path to print on, or the empty text: then the ticket is not printed, silently.
    virtual QString FindPrinterPath(const QString& name) const = 0;
};
