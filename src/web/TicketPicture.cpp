#include "web/TicketPicture.h"

#include "print/RasterCanvas.h"
#include "print/TicketRenderer.h"

#include <QBuffer>

namespace {

constexpr int kPaperDots = 576;

} // namespace

QByteArray TicketPng(const Ticket& ticket, const PrintSettings& settings, const QDateTime& time,
                     const TicketOptions& options) {
    RasterCanvas canvas(kPaperDots, options);
    const TicketRenderer::Clock clock = [&time] {
        return time;
    };
    const TicketLayout layout = TicketRenderer(canvas, settings, clock).Layout(ticket);
    canvas.BeginDocument(layout.height);
    layout.Paint(canvas);
    canvas.EndDocument();
    QByteArray png;
    QBuffer buffer(&png);
    buffer.open(QIODevice::WriteOnly);
    canvas.picture().save(&buffer, "PNG");
    return png;
}
