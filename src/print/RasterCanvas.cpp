#include "print/RasterCanvas.h"

#include "core/Error.h"

#include <QtMath>
#include <algorithm>
#include <cstring>
#include <limits>

namespace {

// Enough for most tickets without growing.
constexpr int kFirstRows = 2048;
// Grey levels darker than this are printed.
constexpr uchar kBlackBelow = 128;

QImage WhiteCanvas(int width, int rows) {
    QImage canvas(width, rows, QImage::Format_Grayscale8);
    const int dotsPerMetre = qRound(RasterCanvas::kDotsPerInch / 0.0254);
    canvas.setDotsPerMeterX(dotsPerMetre);
    canvas.setDotsPerMeterY(dotsPerMetre);
    canvas.fill(0xFF);
    return canvas;
}

QImage Thresholded(const QImage& grey, int rows) {
    QImage picture(grey.width(), rows, QImage::Format_Mono);
    if (picture.isNull())
        return picture;
    picture.setColorTable({qRgb(255, 255, 255), qRgb(0, 0, 0)});
    picture.setDotsPerMeterX(grey.dotsPerMeterX());
    picture.setDotsPerMeterY(grey.dotsPerMeterY());
    const int width = grey.width();
    for (int row = 0; row < rows; ++row) {
        const uchar* in = grey.constScanLine(row);
        uchar* out = picture.scanLine(row);
        std::memset(out, 0, static_cast<size_t>(picture.bytesPerLine()));
        for (int x = 0; x < width; ++x) {
            if (in[x] < kBlackBelow)
                out[x >> 3] |= static_cast<uchar>(0x80 >> (x & 7));
        }
    }
    return picture;
}

} // namespace

RasterCanvas::RasterCanvas(int widthDots)
    : m_width(widthDots) {}

RasterCanvas::~RasterCanvas() {
    if (isPainting())
        FinishPainting();
}

void RasterCanvas::BeginDocument() {
    m_canvas = WhiteCanvas(m_width, kFirstRows);
    m_bottom = 0;
    m_picture = QImage();
    StartPainting(m_canvas, QStringLiteral("Fis resmi cizilemedi"));
}

void RasterCanvas::DrawText(int x, int y, const QString& text) {
    Reserve(qint64(y) + TextHeight(text));
    PainterCanvas::DrawText(x, y, text);
}

void RasterCanvas::FillRect(const QRect& area, const QColor& colour) {
    Reserve(area.bottom() + 1);
    PainterCanvas::FillRect(area, colour);
}

int RasterCanvas::PageHeight() const {
    return std::numeric_limits<int>::max();
}

void RasterCanvas::NewPage() {}

void RasterCanvas::EndDocument() {
    FinishPainting();
    m_picture = Thresholded(m_canvas, m_bottom);
    m_canvas = QImage();
}

void RasterCanvas::Abort() noexcept {
    if (isPainting())
        FinishPainting();
    m_canvas = QImage();
}

void RasterCanvas::Reserve(qint64 rows) {
    if (rows > kMaxRows)
        throw PrinterError(QStringLiteral("Fis yazici icin cok uzun: %1 nokta").arg(rows));
    m_bottom = std::max(m_bottom, static_cast<int>(rows));
    if (m_bottom <= m_canvas.height())
        return;
    QImage larger = WhiteCanvas(m_width, std::clamp(2 * m_canvas.height(), m_bottom, kMaxRows));
    FinishPainting();
    std::memcpy(larger.bits(), m_canvas.constBits(), static_cast<size_t>(m_canvas.sizeInBytes()));
    m_canvas = std::move(larger);
    StartPainting(m_canvas, QStringLiteral("Fis resmi cizilemedi"));
}
