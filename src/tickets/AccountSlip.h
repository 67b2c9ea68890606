#pragma once

#include "print/Ticket.h"

#include <QStringList>

struct JobContext;

// What the e-adisyon information slip and the POS account slip share: after the slip's own
// head, the date, the table information when it is switched on, the bill's body with the
// discount as ordinary lines, a rule and the slip's own foot; printed on the bill printer by
// the bill's rule.
void PrintAccountSlip(JobContext& context, Ticket slip, const QStringList& foot);
