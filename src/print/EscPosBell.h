#pragma once

#include "print/TicketOptions.h"

#include <QByteArray>

// The bell of a receipt printer as ESC/POS bytes, sent after the cut since some printers
// cannot ring while they print: the options' rings in the options' command, nothing for none.
//   ESC B n t       n beeps of t × 50 ms (most Epson-compatible printers)
//   ESC ( A         n beeps of the built-in beeper (Epson models with one, function 97)
//   ESC GS BEL      one beep of a Star printer's buzzer, repeated
//   ESC p           one pulse on the drawer port, for a bell wired there, repeated
QByteArray EscPosBell(const TicketOptions& options);
