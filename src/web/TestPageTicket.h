#pragma once

#include "print/Ticket.h"
#include "print/TicketOptions.h"
#include "web/StatusBackend.h"

// A page to try a printer with: its name, address, options and state, the time, a ruler as
// long as the paper is wide (its last whole mark shows how many characters fit), a kitchen
// item with its note as the options draw them, and a barcode to scan.
Ticket TestPageTicket(const PrinterSnapshot& printer, const TicketOptions& options);
