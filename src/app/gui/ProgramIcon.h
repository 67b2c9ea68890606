#pragma once

#include <QIcon>

// The program's own icon, a small printer, drawn at the tray's 16 x 16 and at twice that for
// dense screens. Its light is green, or red while a printer fails.
QIcon ProgramIcon(bool printerFailing = false);
