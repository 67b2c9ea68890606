#include "web/TicketPicture.h"

#include "print/RasterCanvas.h"
#include "print/TicketRenderer.h"

#include <QBuffer>

namespace {

constexpr int kPaperDots = 576;

} // namespace

QByteArray TicketPng(const Ticket& ticket, const PrintSettings& settings, const QDateTime& time) {
    RasterCanvas canvas(kPaperDots);
    const TicketRenderer::Clock clock = [&time] {
        return time;
    };
    canvas.BeginDocument(TicketRenderer::ContentHeight(canvas, settings, clock, ticket));
    TicketRenderer(canvas, settings, clock).Render(ticket);
    canvas.EndDocument();
    QByteArray png;
    QBuffer buffer(&png);
    buffer.open(QIODevice::WriteOnly);
    canvas.picture().save(&buffer, "PNG");
    return png;
}
