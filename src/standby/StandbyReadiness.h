#pragma once

#include <QString>

class PrinterRegistry;
class PrinterSource;

// Why a standby, once it takes over, would not put every ticket on paper, or the empty text: a
// printer of A_Yazicilar that is not installed on this computer (its tickets would count as done
// with nothing printed, as a lone server's do), or the dummy mode. Asked each time the server
// starts standing by, so the operator hears of it before it matters.
QString StandbyReadinessProblem(const PrinterRegistry& registry, PrinterSource& printers,
                                bool dummy);
