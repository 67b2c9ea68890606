#pragma once

#include "print/Ticket.h"

#include <QString>

struct JobContext;

// Prints a ticket on the printer a logical name stands for, the one way every builder prints.
// A name the registry does not know prints nothing and reports nothing. When the printer fails
// and has a backup, the ticket prints there under the heading "YEDEK: <name> yerine", a forced
// log line says so, and the job goes on; a failing backup fails the ticket with both errors.
// Each printer's failure or success goes to the server's status. Returns the path the ticket
// went to, or the empty text when the name has none.
QString PrintOnLogicalPrinter(JobContext& context, const QString& name, const Ticket& ticket);
