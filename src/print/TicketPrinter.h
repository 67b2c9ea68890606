#pragma once

#include "print/Ticket.h"

#include <QString>

// The printer types, in the direction a ticket travels; each uses only the ones after it.
//   PrinterPaths      a logical printer name (of a terminal, a product, a setting) to the path
//                     of the printer it stands for; PrinterRegistry answers from A_Yazicilar.
//   TicketPrinter     what the builders hand a ticket and a path to.
//   PrintEngine       the server's TicketPrinter: finds the installed printer of the path
//                     (PrinterNames), renders the ticket on it, logs, gives the spooler time.
//   PrinterSource     this machine's printers, installed and virtual, and a canvas for each
//                     document; DevicePrinterSource is the real one.
//   TicketRenderer    lays the lines of one ticket out in a device's metrics, markup and page
//                     breaks, once; the TicketLayout it gives is painted on the canvas.
//   PrintCanvas       one document on one device, in its pixels: SystemPrinterCanvas (the
//                     spooler), PdfFileCanvas (a "pdf:" printer), EscPosCanvas (an ESC/POS
//                     receipt printer, "escpos:", the ticket drawn on a RasterCanvas).
//   KitchenScreens    the kitchen screens, "ekran:", which take the ticket's lines instead.
// The builders see only PrinterPaths and TicketPrinter.

// What became of a ticket that no PrinterError stopped.
struct PrintOutcome {
    // The path names no printer of this machine. Nothing printed, and the ticket counts as done
    // all the same, so that a printer nobody installed holds up no bill.
    bool printerMissing = false;
    // What the printer reported wrong once it had taken the whole ticket: the ticket counts as
    // printed, the next one waits for the printer.
    QString faultAfterTicket;
    // What the printer warned of with the ticket ("Kagit azaliyor"); empty when nothing.
    QString warning;
};

// What the ticket builders print through: a ticket onto the printer with the given path.
class TicketPrinter {
public:
    virtual ~TicketPrinter() = default;

    virtual PrintOutcome PrintTicket(const QString& path, const Ticket& ticket) = 0;
    // Why the printer with the given path cannot print now, or the empty text when it can; asked
    // of a printer that failed, with a short wait, until it is back.
    virtual QString CheckPrinter(const QString& path) = 0;
};
