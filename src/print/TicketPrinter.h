#pragma once

#include "print/Ticket.h"

#include <QString>

// What the ticket builders print through: a ticket onto the printer with the given path.
class TicketPrinter {
public:
    virtual ~TicketPrinter() = default;

    virtual void PrintTicket(const QString& path, const Ticket& ticket) = 0;
};
