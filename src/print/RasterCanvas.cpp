#include "print/RasterCanvas.h"

#include "core/Error.h"

#include <algorithm>
#include <cstring>

namespace {

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

QImage Thresholded(const QImage& grey) {
    QImage picture(grey.width(), grey.height(), QImage::Format_Mono);
    picture.setColorTable({qRgb(255, 255, 255), qRgb(0, 0, 0)});
    // Read once: QImage's accessors are calls, and this loop visits every dot of the ticket.
    const int width = grey.width();
    const auto rowBytes = static_cast<size_t>(picture.bytesPerLine());
    for (int row = 0; row < grey.height(); ++row) {
        const uchar* in = grey.constScanLine(row);
        uchar* out = picture.scanLine(row);
        std::memset(out, 0, rowBytes);
        for (int x = 0; x < width; ++x) {
            if (in[x] < kBlackBelow)
                out[x >> 3] |= static_cast<uchar>(0x80 >> (x & 7));
        }
    }
    return picture;
}

} // namespace

void RasterCanvas::CacheLargeGlyphs() {
    if (!qEnvironmentVariableIsSet("QT_MAX_CACHED_GLYPH_SIZE"))
        qputenv("QT_MAX_CACHED_GLYPH_SIZE", QByteArray::number(kLargestCachedGlyph));
}

// One row until the document begins: the fonts are measured on it.
RasterCanvas::RasterCanvas(int widthDots, const TicketOptions& options)
    : PainterCanvas(options.InOneColour())
    , m_canvas(WhiteCanvas(widthDots, 1)) {}

RasterCanvas::~RasterCanvas() {
    if (isPainting())
        FinishPainting();
}

void RasterCanvas::BeginDocument(int contentHeight) {
    if (contentHeight > kMaxRows)
        throw PrinterError(QStringLiteral("Fis yazici icin cok uzun: %1 nokta").arg(contentHeight));
    // An empty ticket is one blank row, still fed and cut.
    m_canvas = WhiteCanvas(m_canvas.width(), std::max(1, contentHeight));
    m_picture = QImage();
    StartPainting(m_canvas, QStringLiteral("Fis resmi cizilemedi"));
}

void RasterCanvas::EndDocument() {
    FinishPainting();
    m_picture = Thresholded(m_canvas);
}

void RasterCanvas::Abort() noexcept {
    if (isPainting())
        FinishPainting();
}
