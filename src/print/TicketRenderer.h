#pragma once

#include "print/DateTimePlaceholders.h"
#include "print/PrintCanvas.h"
#include "print/PrintSettings.h"
#include "print/Ticket.h"

#include <QString>

// Lays the lines of one ticket out on a begun document: the markup of the first two
// characters, the vertical cursor and the page breaks.
class TicketRenderer {
public:
    using Clock = DateTimeSource;

    static const QString kBaseFace;
    static const QString kBarcodeFace;
    static constexpr int kHeadingSize = 14;
    static constexpr int kBarcodeSize = 40;

    // The cursor starts at the top margin of the settings.
    TicketRenderer(PrintCanvas& canvas, const PrintSettings& settings, Clock clock);

    void Render(const Ticket& ticket);

private:
    void RenderLine(const QString& line);
    void DrawHeading(const QString& text);
    void DrawSeparator();
    void DrawRightPart(const QString& text);
    void DrawBarcode(const QString& text);
    void DrawBarcodeSymbol(const QString& text);
    void DrawOrdinary(const QString& line);
    int CentredX(int width) const;
    void SetBaseFont();

    PrintCanvas& m_canvas;
    const PrintSettings m_settings;
    Clock m_clock;
    int m_y;
};
