#include "print/PainterCanvas.h"

#include "core/Error.h"

#include <QFontDatabase>
#include <QPaintDevice>

PainterCanvas::PainterCanvas(const TicketOptions& options)
    : m_options(options)
    , m_metrics(m_font) {}

PainterCanvas::~PainterCanvas() = default;

void PainterCanvas::StartPainting(QPaintDevice& device, const QString& failureMessage) {
    if (!m_painter.begin(&device))
        throw PrinterError(failureMessage);
    m_painter.setPen(Qt::black);
    m_painter.setFont(m_font);
}

bool PainterCanvas::FinishPainting() {
    return m_painter.end();
}

void PainterCanvas::SetFont(const QString& face, int pointSize) {
    m_font = QFont(face);
    m_font.setPointSize(pointSize);
    // A missing face must fall back to a fixed-pitch one, or the ticket columns break.
    m_font.setStyleHint(QFont::TypeWriter);
    m_font.setFixedPitch(true);
    if (m_painter.isActive())
        m_painter.setFont(m_font);
    // Measured for the device, so sizes in points follow the printer's resolution.
    m_metrics = QFontMetrics(m_font, &device());
    m_widths = &m_widthsByFont[{face, pointSize}];
}

bool PainterCanvas::HasFace(const QString& face) const {
    return QFontDatabase::families().contains(face);
}

int PainterCanvas::TextWidth(const QString& text) const {
    if (!m_widths)
        return m_metrics.horizontalAdvance(text);
    const auto known = m_widths->constFind(text);
    if (known != m_widths->cend())
        return *known;
    return *m_widths->insert(text, m_metrics.horizontalAdvance(text));
}

int PainterCanvas::TextHeight(const QString&) const {
    return m_metrics.ascent() + m_metrics.descent();
}

void PainterCanvas::DrawText(int x, int y, const QString& text, const TextColours& colours) {
    m_painter.fillRect(QRect(x, y, TextWidth(text), TextHeight(text)), colours.paper);
    if (m_painter.pen().color() != colours.ink)
        m_painter.setPen(colours.ink);
    m_painter.drawText(QPoint(x, y + m_metrics.ascent()), text);
}

void PainterCanvas::FillRect(const QRect& area, const QColor& colour) {
    m_painter.fillRect(area, colour);
}

int PainterCanvas::PageWidth() const {
    return device().width();
}

int PainterCanvas::PageHeight() const {
    return device().height();
}

int PainterCanvas::DotsPerInch() const {
    return device().logicalDpiX();
}
