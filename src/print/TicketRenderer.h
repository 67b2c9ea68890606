#pragma once

#include "print/DateTimePlaceholders.h"
#include "print/PrintCanvas.h"
#include "print/PrintSettings.h"
#include "print/Ticket.h"
#include "print/TicketLayout.h"
#include "print/TicketOptions.h"

#include <QList>
#include <QRect>
#include <QString>
#include <limits>

// Lays the lines of one ticket out in a device's metrics: the markup of the first two
// characters, the vertical cursor and the page breaks. Text wider than its room continues on
// the next row, and a right part that would touch text on the row before takes a row of its
// own, so nothing is printed over other text or off the paper. The device's options draw the
// kitchen's large lines that many times larger, an item's text continuing beside its quantity,
// and the lines that stand out white on a black band (a right part on its own cell) or red.
// The device is only measured with, so its document need not have begun.
class TicketRenderer {
public:
    using Clock = DateTimeSource;

    static const QString kBaseFace;
    static const QString kBarcodeFace;
    static constexpr int kHeadingSize = 14;
    static constexpr int kBarcodeSize = 40;
    // A page that never breaks: the layout's height is then the length of a page that holds
    // the ticket whole, the top margin included.
    static constexpr int kEndlessPage = std::numeric_limits<int>::max();

    // The cursor starts at the top margin of the settings.
    TicketRenderer(PrintCanvas& device, const PrintSettings& settings, Clock clock,
                   int pageHeight = kEndlessPage);

    TicketLayout Layout(const Ticket& ticket);

private:
    void RenderLine(const QString& line);
    void DrawHeading(const QString& text);
    void DrawSeparator();
    void DrawRightPart(const QString& text);
    void DrawBarcode(const QString& text);
    void DrawBarcodeSymbol(const QString& text);
    // From the left edge; the rows after the first start at the column, beside what stands
    // before it.
    void DrawRows(const QString& line, qsizetype column);
    // A row of its own at the cursor, on its band when it stands out reversed.
    void DrawRow(int x, const QString& text);
    // Draws the text and keeps its cell for the right parts that follow.
    void Draw(int x, int y, const QString& text);
    // The line in hand's colours; an empty text has nothing to set apart.
    TextColours Colours(const QString& text) const;
    bool TouchesInk(const QRect& area);
    // The room of centred texts and right parts: the page less "Sag".
    int AlignedWidth() const;
    int CentredX(int width) const;
    int RightAlignedX(int width) const;
    void SetBaseFont();
    // The base face at the size times the line's scale.
    void SetLineFont(int pointSize);
    void SetFont(const QString& face, int pointSize);

    PrintCanvas& m_canvas;
    const PrintSettings m_settings;
    const TicketOptions m_options;
    int m_scale = 1;                                                    // of the line in hand
    TicketOptions::Emphasis m_emphasis = TicketOptions::Emphasis::None; // of the line in hand
    Clock m_clock;
    const int m_pageHeight;
    int m_y;
    QString m_face;
    int m_pointSize = 0;
    QList<QRect> m_ink; // cells of the texts drawn on this page that a right part may reach
    TicketLayout m_layout;
};
