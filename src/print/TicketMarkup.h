#pragma once

#include <QLatin1String>
#include <QString>

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

// Put before a line that prints as written, whatever it begins with; the renderer drops it.
// Zero-width, so a line shown as text rather than printed reads the same.
inline constexpr QChar kPlainMark(0x200B);

// The text as a line of its own that prints as written: for values from the database (a note,
// a name, a table) that stand at the start of a line. Marked only where a prefix would
// otherwise be read.
inline QString PlainLine(const QString& text) {
    const QString prefix = text.left(2);
    const bool needsMark = text.startsWith(kPlainMark) || prefix == kHeading ||
                           prefix == kSeparator || prefix == kRightPart || prefix == kBarcode;
    return needsMark ? kPlainMark + text : text;
}
