#include "print/TicketRenderer.h"

#include "print/Code39.h"
#include "print/DateTimePlaceholders.h"
#include "print/TextRows.h"
#include "print/TicketMarkup.h"

#include <QtMath>
#include <algorithm>

const QString TicketRenderer::kBaseFace = QStringLiteral("Lucida Console");
const QString TicketRenderer::kBarcodeFace = QStringLiteral("Libre Barcode 39");

namespace {
// A quarter of a millimetre, the usual narrow bar of Code 39 on receipt printers.
int NarrowBarDots(int dotsPerInch) {
    return std::max(1, qRound(dotsPerInch * 0.25 / 25.4));
}
} // namespace

TicketRenderer::TicketRenderer(PrintCanvas& device, const PrintSettings& settings, Clock clock,
                               int pageHeight)
    : m_canvas(device)
    , m_settings(settings)
    , m_clock(std::move(clock))
    , m_pageHeight(pageHeight)
    , m_y(settings.top) {}

TicketLayout TicketRenderer::Layout(const Ticket& ticket) {
    SetBaseFont();
    for (const QString& line : ticket) {
        RenderLine(line);
        if (m_pageHeight < m_y) {
            m_y = 0;
            m_ink.clear();
            ++m_layout.pages;
        }
    }
    m_layout.height = m_y;
    return std::move(m_layout);
}

void TicketRenderer::RenderLine(const QString& line) {
    // The prefix comes from the line as written, so a placeholder never forms one.
    const QString prefix = line.left(2);
    const QString replaced = ReplaceDateTimePlaceholders(line, m_clock);
    const QString text = replaced.mid(2);

    if (line.startsWith(kPlainMark))
        DrawOrdinary(replaced.mid(1));
    else if (prefix == kHeading)
        DrawHeading(text);
    else if (prefix == kSeparator)
        DrawSeparator();
    else if (prefix == kRightPart)
        DrawRightPart(text);
    else if (prefix == kBarcode)
        DrawBarcode(text);
    else
        DrawOrdinary(replaced);
}

void TicketRenderer::DrawHeading(const QString& text) {
    SetFont(kBaseFace, kHeadingSize);
    for (const QString& row : TextRows(m_canvas, text, AlignedWidth())) {
        Draw(CentredX(m_canvas.TextWidth(row)), m_y, row);
        m_y += m_canvas.TextHeight(row);
    }
    SetBaseFont();
}

void TicketRenderer::DrawSeparator() {
    const QString dash = QStringLiteral("-");
    const int step = m_canvas.TextWidth(dash);
    // A font of no width would make the rule endless; draw none then.
    if (step > 0) {
        const int count = (m_canvas.PageWidth() - m_settings.right) / step;
        for (int i = 0; i <= count; ++i)
            Draw(i * step, m_y, dash);
    }
    m_y += m_canvas.TextHeight(dash);
}

// On the row of the line before, unless it would touch text standing there: then on a row of
// its own below. Where Sag leaves no room at all, it goes up as it always has.
void TicketRenderer::DrawRightPart(const QString& text) {
    const int height = m_canvas.TextHeight(text);
    const QStringList rows = TextRows(m_canvas, text, AlignedWidth());
    const int width = m_canvas.TextWidth(rows.first());
    const QRect above(RightAlignedX(width), m_y - height, width, height);
    if (AlignedWidth() > 0 && TouchesInk(above)) {
        Draw(above.x(), m_y, rows.first());
        m_y += height;
    } else {
        Draw(above.x(), above.y(), rows.first());
    }
    for (const QString& row : rows.mid(1)) {
        Draw(RightAlignedX(m_canvas.TextWidth(row)), m_y, row);
        m_y += height;
    }
}

void TicketRenderer::DrawBarcode(const QString& text) {
    SetFont(kBarcodeFace, kBarcodeSize);
    const QString symbolText = QLatin1Char('*') + text + QLatin1Char('*');
    if (m_canvas.HasFace(kBarcodeFace)) {
        Draw(CentredX(m_canvas.TextWidth(symbolText)), m_y, symbolText);
        m_y += m_canvas.TextHeight(symbolText);
    } else {
        DrawBarcodeSymbol(text);
    }
    SetBaseFont();
}

// Without the barcode font a substitute face would print the digits; the bars are drawn
// instead, as high as the font's cell so that the layout is the same either way.
void TicketRenderer::DrawBarcodeSymbol(const QString& text) {
    const Code39Symbol symbol(text);
    const int module = NarrowBarDots(m_canvas.DotsPerInch());
    const int width = symbol.widthInModules() * module;
    const int height = m_canvas.TextHeight(symbol.encodedText());
    const QRect cell(CentredX(width), m_y, width, height);

    m_layout.runs.append({m_layout.pages, PlacedFill{cell, Qt::white}});
    m_ink << cell;
    for (const Code39Symbol::Bar& bar : symbol.bars()) {
        const QRect area(cell.x() + bar.start * module, m_y, bar.width * module, height);
        m_layout.runs.append({m_layout.pages, PlacedFill{area, Qt::black}});
    }
    m_y += height;
}

void TicketRenderer::DrawOrdinary(const QString& line) {
    for (const QString& row : TextRows(m_canvas, line, m_canvas.PageWidth())) {
        Draw(0, m_y, row);
        m_y += m_canvas.TextHeight(row);
    }
}

void TicketRenderer::Draw(int x, int y, const QString& text) {
    m_layout.runs.append({m_layout.pages, PlacedText{m_face, m_pointSize, QPoint(x, y), text}});
    const QRect cell(x, y, m_canvas.TextWidth(text), m_canvas.TextHeight(text));
    if (!cell.isEmpty())
        m_ink << cell;
}

// Touching counts: a right part that begins where a name ends would read as one word with it.
bool TicketRenderer::TouchesInk(const QRect& area) {
    // The cursor only moves down, so a cell above this row is never reached again.
    m_ink.removeIf([&](const QRect& cell) { return cell.y() + cell.height() <= area.y(); });
    return std::any_of(m_ink.cbegin(), m_ink.cend(), [&](const QRect& cell) {
        return cell.y() < area.y() + area.height() && cell.x() <= area.x() + area.width() &&
               area.x() <= cell.x() + cell.width();
    });
}

int TicketRenderer::AlignedWidth() const {
    return m_canvas.PageWidth() - m_settings.right;
}

int TicketRenderer::CentredX(int width) const {
    return (AlignedWidth() - width) / 2 + m_settings.left;
}

int TicketRenderer::RightAlignedX(int width) const {
    return AlignedWidth() - width;
}

void TicketRenderer::SetBaseFont() {
    SetFont(kBaseFace, m_settings.fontSize);
}

void TicketRenderer::SetFont(const QString& face, int pointSize) {
    m_face = face;
    m_pointSize = pointSize;
    m_canvas.SetFont(face, pointSize);
}
