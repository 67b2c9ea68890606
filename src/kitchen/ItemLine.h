#pragma once

#include <QString>
#include <optional>

// The line of one ordered item on a kitchen ticket, "%-3s %s": the quantity padded to three
// characters, never cut, a blank, then the item. Written by the kitchen tickets and read back
// by whatever shows a ticket other than on paper.
QString ItemLine(const QString& quantity, const QString& item);

struct OrderedItem {
    QString quantity;
    QString item;
};

// The quantity and item of a line written by ItemLine, or nothing for any other line. A note
// that happens to read as a number padded so ("100 gr") is taken for an item.
std::optional<OrderedItem> ReadItemLine(const QString& line);
