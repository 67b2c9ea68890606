#pragma once

#include "print/PrinterOptions.h"
#include "print/TicketOptions.h"

#include <QString>

// Where an ESC/POS receipt printer is reached, from a printer path ("Yol"):
//   escpos://HOST[:PORT]   over TCP, port 9100 unless given
//   escpos:DEVICE          a device file: the USB printer class device, a serial port
// either followed by options in any order, "?dots=N&baud=N&status=0&zil=2"
// (print/PrinterOptions.h):
//   dots    the printable width in dots (576: 80 mm paper at 203 dpi; 384 for 58 mm)
//   baud    a serial port's speed; without it the port keeps the speed it has
//   status  0 for a printer that is never asked for its status
// and the ticket's options. The scheme and the option names ignore letter case, like every
// printer path.
struct EscPosAddress {
    static constexpr int kDefaultPort = 9100;

    // Whether the path is meant for an ESC/POS printer, well-formed or not.
    static bool IsEscPosPath(const QString& path);
    // Throws PrinterError naming what is wrong with a malformed path.
    static EscPosAddress Parse(const QString& path);

    QString path; // as written, for messages
    QString host; // empty for a device
    int port = kDefaultPort;
    QString device; // empty for a network printer
    int dots = PrinterOptions::kDefaultDots;
    int baud = 0; // 0: as the port is
    bool asksStatus = true;
    TicketOptions ticket;
};
