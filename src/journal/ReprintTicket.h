#pragma once

#include "journal/JournalEntry.h"

// A journal ticket printed again: the stored lines under the heading "TEKRAR BASIM" and the
// time it first printed, its date and time placeholders showing that time too, so the kitchen
// sees at once that this is no new order.
Ticket ReprintTicket(const JournalEntry& entry);
