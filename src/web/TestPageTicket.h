#pragma once

#include "print/Ticket.h"
#include "web/StatusBackend.h"

// A page to try a printer with: its name, address and state, the time, a ruler as long as the
// paper is wide (its last whole mark shows how many characters fit) and a barcode to scan.
Ticket TestPageTicket(const PrinterSnapshot& printer);
