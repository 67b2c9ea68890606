#pragma once

#include "print/PrintCanvas.h"

class KitchenScreens;

#include <QString>
#include <QStringList>
#include <memory>

// The printers a ticket can go to, and a fresh canvas for each document (print/TicketPrinter.h
// says how the printer types fit together).
class PrinterSource {
public:
    virtual ~PrinterSource() = default;

    // Installed printers by name, listed at the first call and then kept.
    virtual QStringList InstalledPrinters() = 0;
    // A path that names a printer without being installed, such as a virtual printer, well
    // formed or not.
    virtual bool IsVirtualPrinter(const QString& path) const = 0;
    // The printer is a name from InstalledPrinters() or a virtual printer's path. Throws
    // PrinterError naming what is wrong with a malformed path.
    virtual std::unique_ptr<PrintCanvas> Select(const QString& printer) = 0;
    // Why that printer cannot print now (stopped, out of paper, unwritable), or the empty text;
    // waits a second at most.
    virtual QString Check(const QString& printer) = 0;
    // Where the "ekran:" paths show their tickets, or null where no screen is served.
    virtual KitchenScreens* Screens() { return nullptr; }
};
