#pragma once

#include <QString>

class PrintedTickets;
struct JobContext;

// One kitchen ticket of a production ("0") or cancellation ("2") job for one printer, from the
// line query the poller prepared: A for the production printer, EKA for the extra printer.
// Only the printer's own lines go on it, and they are marked only once it has been printed
// (or has nowhere to go), so a failing printer loses no order: the job is tried again. A ticket
// that came out but whose marking failed is remembered in printed: its lines are only marked
// at the retry, and only lines new since then are printed.
void PrintProductionTicket(JobContext& context, const QString& name, PrintedTickets& printed);
void PrintExtraProductionTicket(JobContext& context, const QString& name, PrintedTickets& printed);
