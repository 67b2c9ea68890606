#include "print/EscPosBell.h"

namespace {

// Each beep about 200 ms, with a pause as long between them.
constexpr char kBeepFiftyMs = 4;   // ESC B
constexpr char kBeepTenthsOn = 2;  // ESC ( A: on, then off
constexpr char kBeepTwentyMs = 10; // ESC GS BEL: on, then off
constexpr char kPulseTwoMs = 100;  // ESC p: on, then off

QByteArray Repeated(const QByteArray& once, int times) {
    QByteArray bytes;
    for (int i = 0; i < times; ++i)
        bytes += once;
    return bytes;
}

} // namespace

QByteArray EscPosBell(const TicketOptions& options) {
    const char rings = static_cast<char>(options.rings);
    if (rings <= 0)
        return QByteArray();
    switch (options.bell) {
    case TicketOptions::Bell::EscB:
        return QByteArray("\x1B\x42", 2) + rings + kBeepFiftyMs;
    case TicketOptions::Bell::Epson:
        return QByteArray("\x1B\x28\x41\x05\x00\x61\x64", 7) + rings + kBeepTenthsOn +
               kBeepTenthsOn;
    case TicketOptions::Bell::Star:
        return Repeated(QByteArray("\x1B\x1D\x07\x01", 4) + kBeepTwentyMs + kBeepTwentyMs,
                        options.rings);
    case TicketOptions::Bell::Drawer:
        return Repeated(QByteArray("\x1B\x70\x00", 3) + kPulseTwoMs + kPulseTwoMs, options.rings);
    }
    return QByteArray();
}
