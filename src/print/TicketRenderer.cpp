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

// Where an item's text begins: after its first word, the quantity, and the blanks that follow
// it; 0 when nothing follows them.
qsizetype QuantityColumn(const QString& item) {
    qsizetype column = item.indexOf(QLatin1Char(' '));
    if (column <= 0)
        return 0;
    while (column < item.size() && item.at(column) == QLatin1Char(' '))
        ++column;
    return column < item.size() ? column : 0;
}

} // namespace

TicketRenderer::TicketRenderer(PrintCanvas& device, const PrintSettings& settings, Clock clock,
                               int pageHeight)
    : m_canvas(device)
    , m_settings(settings)
    , m_options(device.Options())
    , m_clock(std::move(clock))
    , m_pageHeight(pageHeight)
    , m_y(settings.top) {}

TicketLayout TicketRenderer::Layout(const Ticket& ticket) {
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
    // The markup comes from the line as written, so a placeholder never forms one.
    const LineMarkup markup = ReadMarkup(line);
    const QString text = ReplaceDateTimePlaceholders(line, m_clock).mid(markup.textStart);
    m_scale = markup.large ? m_options.scale : 1;
    m_emphasis = markup.standsOut ? m_options.emphasis : TicketOptions::Emphasis::None;
    switch (markup.kind) {
    case LineMarkup::Kind::Heading:
        DrawHeading(text);
        break;
    case LineMarkup::Kind::Separator:
        DrawSeparator();
        break;
    case LineMarkup::Kind::RightPart:
        DrawRightPart(text);
        break;
    case LineMarkup::Kind::Barcode:
        DrawBarcode(text);
        break;
    case LineMarkup::Kind::Item:
        // At its own size an item is laid out as any line, as it always was.
        DrawRows(text, m_scale > 1 ? QuantityColumn(text) : 0);
        break;
    case LineMarkup::Kind::Ordinary:
        DrawRows(text, 0);
        break;
    }
}

void TicketRenderer::DrawHeading(const QString& text) {
    SetLineFont(kHeadingSize);
    for (const QString& row : TextRows(m_canvas, text, AlignedWidth()))
        DrawRow(CentredX(m_canvas.TextWidth(row)), row);
}

void TicketRenderer::DrawSeparator() {
    SetBaseFont();
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
    SetLineFont(m_settings.fontSize);
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

void TicketRenderer::DrawRows(const QString& line, qsizetype column) {
    SetLineFont(m_settings.fontSize);
    const QString before = line.left(column);
    const int indent = m_canvas.TextWidth(before);
    QStringList rows = TextRows(m_canvas, line.mid(column), m_canvas.PageWidth() - indent);
    rows.first().prepend(before);
    for (qsizetype i = 0; i < rows.size(); ++i)
        DrawRow(i == 0 ? 0 : indent, rows.at(i));
}

void TicketRenderer::DrawRow(int x, const QString& text) {
    const int height = m_canvas.TextHeight(text);
    if (m_emphasis == TicketOptions::Emphasis::Reverse && !text.isEmpty())
        m_layout.runs.append(
            {m_layout.pages, PlacedFill{QRect(0, m_y, m_canvas.PageWidth(), height), Qt::black}});
    Draw(x, m_y, text);
    m_y += height;
}

void TicketRenderer::Draw(int x, int y, const QString& text) {
    m_layout.runs.append(
        {m_layout.pages, PlacedText{m_face, m_pointSize, QPoint(x, y), text, Colours(text)}});
    const QRect cell(x, y, m_canvas.TextWidth(text), m_canvas.TextHeight(text));
    if (!cell.isEmpty())
        m_ink << cell;
}

TextColours TicketRenderer::Colours(const QString& text) const {
    if (text.isEmpty())
        return {};
    switch (m_emphasis) {
    case TicketOptions::Emphasis::Reverse:
        return {Qt::white, Qt::black};
    case TicketOptions::Emphasis::Red:
        return {Qt::red, Qt::white};
    case TicketOptions::Emphasis::None:
        break;
    }
    return {};
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

void TicketRenderer::SetLineFont(int pointSize) {
    SetFont(kBaseFace, pointSize * m_scale);
}

// Each line sets its own font, which is made only when it changes: making one is dear, and
// lines in one font follow one another.
void TicketRenderer::SetFont(const QString& face, int pointSize) {
    if (face == m_face && pointSize == m_pointSize)
        return;
    m_face = face;
    m_pointSize = pointSize;
    m_canvas.SetFont(face, pointSize);
}
