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
