#pragma once

#include "print/TicketOptions.h"

#include <QString>

// The options of a printer, "name=value" joined by "&" in any order: after the "?" of an
// "escpos:" or "pdf:" path, or from the printer's section of Velmora.ini for a printer of the
// system's spooler. Names and word values ignore letter case; a repeated name takes the last
// value.
//   dots=8..2048      the printable width of a receipt printer in dots          escpos:
//   baud=300..4000000 a serial port's speed                                     escpos:
//   status=0|1        0: the receipt printer is never asked for its status      escpos:
//   zil=1..9          the bell rings that many times after each ticket          escpos:, pdf:
//   zilkomutu=epson|star|cekmece  the bell's command (ESC ( A, ESC GS BEL, ESC p); ESC B
//                     without it                                                 escpos:, pdf:
//   boyut=1..3        large lines that many times taller and wider              every printer
//   vurgu=ters|kirmizi  lines that stand out white on black, or red where the device prints
//                     two colours                                                every printer
// A "pdf:" folder takes the bell so that it can stand in for a receipt printer; a file does
// not ring. A printer of the spooler cannot be rung through its driver.
struct PrinterOptions {
    // From the kind that takes every option to the one that takes the fewest.
    enum class Kind { EscPos, Pdf, Spooler };

    static constexpr int kDefaultDots = 576;
    static constexpr int kMaxDots = 2048;

    int dots = kDefaultDots;
    int baud = 0; // 0: as the port is
    bool asksStatus = true;
    TicketOptions ticket;

    // Throws PrinterError "<printer> (<what is wrong>)", naming the option that is wrong.
    static PrinterOptions Parse(const QString& text, Kind kind, const QString& printer);
    // The ticket's options as such a text, those left at their defaults out; empty for none.
    static QString TicketText(const TicketOptions& ticket);
};

// Throws PrinterError "<printer> (<why>)": a printer whose address or options are wrong.
[[noreturn]] void RefusePrinter(const QString& printer, const QString& why);
