#pragma once

#include "print/PainterCanvas.h"

#include <QImage>

// A receipt as one picture: as wide as the printer's dots at 203 dpi and as long as the
// ticket, on one page. At the end each dot is black or white, so red stands out reversed.
class RasterCanvas : public PainterCanvas {
public:
    static constexpr int kDotsPerInch = 203;
    // Four metres of paper: a longer ticket is a PrinterError, not a picture of any size.
    static constexpr int kMaxRows = 32767;

    explicit RasterCanvas(int widthDots, const TicketOptions& options = {});
    ~RasterCanvas() override;

    // Qt draws a glyph larger than 64 dots as an outline, a few times dearer than from its
    // glyph cache, and the kitchen's large lines reach 118 dots (a heading at boyut=3): glyphs
    // up to kLargestCachedGlyph are cached. Called before the application object, since Qt
    // reads the limit once; a limit given in the environment stands.
    static constexpr int kLargestCachedGlyph = 160;
    static void CacheLargeGlyphs();

    void BeginDocument(int contentHeight) override;
    // Never needed: the page is as long as the ticket.
    void NewPage() override {}
    void EndDocument() override;
    void Abort() noexcept override;

    // After EndDocument: QImage::Format_Mono, bit 1 black.
    const QImage& picture() const { return m_picture; }

protected:
    const QPaintDevice& device() const override { return m_canvas; }

private:
    QImage m_canvas; // grey levels while drawing
    QImage m_picture;
};
