#pragma once

#include <QString>

// Where an ESC/POS receipt printer is reached, from a printer path ("Yol"):
//   escpos://HOST[:PORT]   over TCP, port 9100 unless given
//   escpos:DEVICE          written to a device file (/dev/usb/lp0, a serial port set up before)
// either followed by "?dots=N", the printable width in dots (576: 80 mm paper at 203 dpi; 384
// for 58 mm). The scheme ignores letter case, like every printer path.
struct EscPosAddress {
    static constexpr int kDefaultPort = 9100;
    static constexpr int kDefaultDots = 576;
    static constexpr int kMaxDots = 2048;

    // Whether the path is meant for an ESC/POS printer, well-formed or not.
    static bool IsEscPosPath(const QString& path);
    // Throws PrinterError saying what is wrong with a malformed path.
    static EscPosAddress Parse(const QString& path);

    QString path; // as written, for messages
    QString host; // empty for a device
    int port = kDefaultPort;
    QString device; // empty for a network printer
    int dots = kDefaultDots;
};
