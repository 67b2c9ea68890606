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

// The kitchen's lines. Each prints as the plain markup named unless the printer's options
// (print/TicketOptions.h) make it large (drawn "boyut" times taller and wider) or make it
// stand out ("vurgu"):
// a heading, large: the table or the order number;
inline constexpr QLatin1String kLargeHeading("#+");
// a heading that stands out: a cancellation's heading, the bill's note;
inline constexpr QLatin1String kStandOutHeading("#!");
// an ordinary line, large, whose first word is a quantity: an item, its text continuing
// beside the quantity when it takes more than a row;
inline constexpr QLatin1String kItem("%+");
// the same, standing out: a cancelled item;
inline constexpr QLatin1String kStandOutItem("%*");
// an ordinary line, large and standing out: an item's note;
inline constexpr QLatin1String kNote("_*");
// a right part, large and standing out: an item's note beside it.
inline constexpr QLatin1String kNoteRightPart(">*");

// Put before a line that prints as written, whatever it begins with; the renderer drops it.
// Zero-width, so a line shown as text rather than printed reads the same.
inline constexpr QChar kPlainMark(0x200B);

// How a line is laid out, from its first characters.
struct LineMarkup {
    enum class Kind { Ordinary, Heading, Separator, RightPart, Barcode, Item };

    Kind kind = Kind::Ordinary;
    bool large = false;
    bool standsOut = false;
    qsizetype textStart = 0; // where the text after the markup begins
};

LineMarkup ReadMarkup(const QString& line);

// The text as a line of its own that prints as written: for values from the database (a note,
// a name, a table) that stand at the start of a line. Marked only where markup would
// otherwise be read.
QString PlainLine(const QString& text);
