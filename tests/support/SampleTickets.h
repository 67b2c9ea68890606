#pragma once

#include "print/Ticket.h"

// A bill as the bill builder lays it out (heading, header, item lines with right-aligned
// amounts, totals, the barcode of bill 3025), padded with items to the given number of lines.
Ticket SampleBill(int lineCount = 0);
