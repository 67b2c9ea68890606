#pragma once

#include "job/JobRecord.h"
#include "print/Ticket.h"

class Query;

// How the discount is laid out: the bill sets it as centred headings ("#-Indirim : ..." and
// "#->-" + amount), the slips as ordinary lines ("Indirim : ..." and ">-" + amount).
enum class DiscountLayout { Headings, Lines };

// The part the bill and both slips share, from the column captions to the grand total: the
// bill lines of A, their exact total, discount, service, the payments (read from
// A's last row) and the grand total. A is left on its last row. Returns the running total in
// ten-thousandths.
qint64 AppendBillBody(Ticket& ticket, Query& A, const TYazimIsi& job, DiscountLayout layout);
