#pragma once

#include "print/PrintCanvas.h"

#include <QColor>
#include <QList>
#include <QPoint>
#include <QRect>
#include <QString>
#include <variant>

// A text in its font and colours, its cell's top-left corner at a point.
struct PlacedText {
    QString face;
    int pointSize = 0;
    QPoint at;
    QString text;
    TextColours colours = {};
};

// An area filled with one colour: the bars of a barcode drawn without its font, the band of a
// line that stands out.
struct PlacedFill {
    QRect area;
    QColor colour;
};

struct PlacedRun {
    int page = 1;
    std::variant<PlacedText, PlacedFill> content;
};

// A ticket laid out in a device's dots: every run in drawing order with its page, so that
// painting it measures nothing again.
struct TicketLayout {
    QList<PlacedRun> runs;
    int pages = 1;
    int height = 0; // the cursor after the last line, on the last page

    // Draws the runs on the canvas's begun document, starting the pages they ask for.
    void Paint(PrintCanvas& canvas) const;
};
