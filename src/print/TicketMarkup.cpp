#include "print/TicketMarkup.h"

namespace {

using Kind = LineMarkup::Kind;

struct Prefix {
    QLatin1String prefix;
    LineMarkup markup;
};

const Prefix kPrefixes[] = {
    {kHeading, {Kind::Heading, false, false, 2}},
    {kSeparator, {Kind::Separator, false, false, 2}},
    {kRightPart, {Kind::RightPart, false, false, 2}},
    {kBarcode, {Kind::Barcode, false, false, 2}},
    {kLargeHeading, {Kind::Heading, true, false, 2}},
    {kStandOutHeading, {Kind::Heading, false, true, 2}},
    {kItem, {Kind::Item, true, false, 2}},
    {kStandOutItem, {Kind::Item, true, true, 2}},
    {kNote, {Kind::Ordinary, true, true, 2}},
    {kNoteRightPart, {Kind::RightPart, true, true, 2}},
};

} // namespace

LineMarkup ReadMarkup(const QString& line) {
    if (line.startsWith(kPlainMark))
        return {Kind::Ordinary, false, false, 1};
    const QStringView prefix = QStringView(line).left(2);
    for (const Prefix& known : kPrefixes) {
        if (prefix == known.prefix)
            return known.markup;
    }
    return {};
}

QString PlainLine(const QString& text) {
    return ReadMarkup(text).textStart > 0 ? kPlainMark + text : text;
}
