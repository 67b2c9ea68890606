#pragma once

#include <QString>

// The resolution a system printer's driver prints at unless told otherwise, in dots per inch;
// 0 when the system does not say. CUPS says it; on Windows the printer object works at the
// driver's resolution already.
int SystemPrinterResolution(const QString& printerName);
