#pragma once

#include "print/PainterCanvas.h"

#include <QImage>

// A receipt as one picture: as wide as the printer's dots at 203 dpi and as long as what was
// drawn on it, with no page breaks. The picture grows as the ticket goes down and is cut
// below the last line; at the end each dot is black or white.
class RasterCanvas : public PainterCanvas {
public:
    static constexpr int kDotsPerInch = 203;
    // Four metres of paper: a longer ticket is a PrinterError, not a picture of any size.
    static constexpr int kMaxRows = 32767;

    explicit RasterCanvas(int widthDots);
    ~RasterCanvas() override;

    void BeginDocument() override;
    void DrawText(int x, int y, const QString& text) override;
    void FillRect(const QRect& area, const QColor& colour) override;
    // As long as the ticket needs: it never breaks a page.
    int PageHeight() const override;
    void NewPage() override;
    void EndDocument() override;
    void Abort() noexcept override;

    // After EndDocument: QImage::Format_Mono, bit 1 black, down to the lowest line drawn.
    const QImage& picture() const { return m_picture; }

private:
    // Makes the picture at least that many rows high.
    void Reserve(qint64 rows);

    int m_width;
    QImage m_canvas; // grey levels while drawing
    int m_bottom = 0;
    QImage m_picture;
};
