#include "journal/ReprintTicket.h"

#include "print/DateTimePlaceholders.h"
#include "print/TicketMarkup.h"

Ticket ReprintTicket(const JournalEntry& entry) {
    const DateTimeSource original = [&entry] {
        return entry.time;
    };
    Ticket ticket{kHeading + QStringLiteral("TEKRAR BASIM"),
                  QStringLiteral("Ilk basim: ") +
                      ReplaceDateTimePlaceholders(QStringLiteral("#TARIH# #SAAT#"), original)};
    for (const QString& line : entry.lines)
        ticket.append(ReplaceDateTimePlaceholders(line, original));
    return ticket;
}
