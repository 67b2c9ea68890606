#include "print/TicketRenderer.h"

#include "print/Code39.h"
#include "print/DateTimePlaceholders.h"
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

TicketRenderer::TicketRenderer(PrintCanvas& canvas, const PrintSettings& settings, Clock clock)
    : m_canvas(canvas)
    , m_settings(settings)
    , m_clock(std::move(clock))
    , m_y(settings.top) {}

void TicketRenderer::Render(const Ticket& ticket) {
    SetBaseFont();
    for (const QString& line : ticket) {
        RenderLine(line);
        if (m_canvas.PageHeight() < m_y) {
            m_y = 0;
            m_canvas.NewPage();
        }
    }
}

void TicketRenderer::RenderLine(const QString& line) {
    // The prefix comes from the line as written, so a placeholder never forms one.
    const QString prefix = line.left(2);
    const QString replaced = ReplaceDateTimePlaceholders(line, m_clock);
    const QString text = replaced.mid(2);

    if (prefix == kHeading)
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
    m_canvas.SetFont(kBaseFace, kHeadingSize);
    m_canvas.DrawText(CentredX(m_canvas.TextWidth(text)), m_y, text);
    m_y += m_canvas.TextHeight(text);
    SetBaseFont();
}

void TicketRenderer::DrawSeparator() {
    const QString dash = QStringLiteral("-");
    const int step = m_canvas.TextWidth(dash);
    // A font of no width would make the rule endless; draw none then.
    if (step > 0) {
        const int count = (m_canvas.PageWidth() - m_settings.right) / step;
        for (int i = 0; i <= count; ++i)
            m_canvas.DrawText(i * step, m_y, dash);
    }
    m_y += m_canvas.TextHeight(dash);
}

void TicketRenderer::DrawRightPart(const QString& text) {
    const int height = m_canvas.TextHeight(text);
    m_y -= height;
    m_canvas.DrawText(m_canvas.PageWidth() - m_canvas.TextWidth(text) - m_settings.right, m_y,
                      text);
    m_y += height;
}

void TicketRenderer::DrawBarcode(const QString& text) {
    m_canvas.SetFont(kBarcodeFace, kBarcodeSize);
    const QString symbolText = QLatin1Char('*') + text + QLatin1Char('*');
    if (m_canvas.HasFace(kBarcodeFace)) {
        m_canvas.DrawText(CentredX(m_canvas.TextWidth(symbolText)), m_y, symbolText);
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
    const int x = CentredX(width);

    m_canvas.FillRect(QRect(x, m_y, width, height), Qt::white);
    for (const Code39Symbol::Bar& bar : symbol.bars())
        m_canvas.FillRect(QRect(x + bar.start * module, m_y, bar.width * module, height),
                          Qt::black);
    m_y += height;
}

void TicketRenderer::DrawOrdinary(const QString& line) {
    m_canvas.DrawText(0, m_y, line);
    m_y += m_canvas.TextHeight(line);
}

int TicketRenderer::CentredX(int width) const {
    return (m_canvas.PageWidth() - width - m_settings.right) / 2 + m_settings.left;
}

void TicketRenderer::SetBaseFont() {
    m_canvas.SetFont(kBaseFace, m_settings.fontSize);
}
