#pragma once

#include "print/DateTimePlaceholders.h"
#include "print/PrintCanvas.h"
#include "print/PrintSettings.h"
#include "print/Ticket.h"

#include <QList>
#include <QRect>
#include <QString>

// Lays the lines of one ticket out on a begun document: the markup of the first two
// characters, the vertical cursor and the page breaks. Text wider than its room continues on
// the next row, and a right part that would touch text on the row before takes a row of its
// own, so nothing is printed over other text or off the paper.
class TicketRenderer {
public:
    using Clock = DateTimeSource;

    static const QString kBaseFace;
    static const QString kBarcodeFace;
    static constexpr int kHeadingSize = 14;
    static constexpr int kBarcodeSize = 40;

    // The cursor starts at the top margin of the settings.
    TicketRenderer(PrintCanvas& canvas, const PrintSettings& settings, Clock clock);

    // Gives the cursor after the last line.
    int Render(const Ticket& ticket);

    // How far down the page the ticket reaches, the top margin included, laid out in the
    // device's metrics on a page without end and drawn nowhere: the length of a page that holds
    // it whole. The device's document need not have begun.
    static int ContentHeight(PrintCanvas& device, const PrintSettings& settings, Clock clock,
                             const Ticket& ticket);

private:
    void RenderLine(const QString& line);
    void DrawHeading(const QString& text);
    void DrawSeparator();
    void DrawRightPart(const QString& text);
    void DrawBarcode(const QString& text);
    void DrawBarcodeSymbol(const QString& text);
    void DrawOrdinary(const QString& line);
    // Draws the text and keeps its cell for the right parts that follow.
    void Draw(int x, int y, const QString& text);
    bool TouchesInk(const QRect& area);
    // The room of centred texts and right parts: the page less "Sag".
    int AlignedWidth() const;
    int CentredX(int width) const;
    int RightAlignedX(int width) const;
    void SetBaseFont();

    PrintCanvas& m_canvas;
    const PrintSettings m_settings;
    Clock m_clock;
    int m_y;
    QList<QRect> m_ink; // cells of the texts drawn on this page that a right part may reach
};
