#pragma once

#include <QLatin1String>

// The markup prefixes: the first two characters of a ticket line, when they are one of these,
// say how the rest of it is laid out (TicketRenderer). Anything else is an ordinary line,
// drawn whole at the left edge.

// The rest, centred in the heading size.
inline constexpr QLatin1String kHeading("#-");
// A dashed rule across the ticket; the rest of the line is not printed.
inline constexpr QLatin1String kSeparator("=-");
// The rest, at the right edge of the row of the line before.
inline constexpr QLatin1String kRightPart(">-");
// The rest as a Code 39 barcode, centred.
inline constexpr QLatin1String kBarcode("@B");
