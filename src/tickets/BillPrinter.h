#pragma once

#include "print/Ticket.h"

struct JobContext;

// Whether the printer name a terminal puts on the job decides where the ticket goes.
enum class JobPrinterName {
    // Only an empty name or the waiter-copy "G" leave the ticket on the department's bill
    // printer; any other name prints it nowhere.
    Honoured,
    // The ticket always goes to the department's bill printer.
    Ignored,
};

// Prints the ticket once on the department's bill printer when the registry knows it (or on
// its backup, job/LogicalPrinting.h); an unknown printer prints nothing and reports nothing. The
// setting is read (and created) whatever the job names.
void PrintOnBillPrinter(JobContext& context, const Ticket& ticket, JobPrinterName rule);
