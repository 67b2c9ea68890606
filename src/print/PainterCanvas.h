#pragma once

#include "print/PrintCanvas.h"

#include <QFont>
#include <QFontMetrics>
#include <QHash>
#include <QPainter>
#include <map>
#include <utility>

// Text, fonts and fills through QPainter, for any paged device; the device and its
// document are the subclass's. Fonts are measured on the device itself, painting or not. The
// options are the printer's, as the subclass's device prints them.
class PainterCanvas : public PrintCanvas {
public:
    void SetFont(const QString& face, int pointSize) override;
    bool HasFace(const QString& face) const override;
    int TextWidth(const QString& text) const override;
    int TextHeight(const QString& text) const override;
    void DrawText(int x, int y, const QString& text, const TextColours& colours) override;
    void FillRect(const QRect& area, const QColor& colour) override;
    int PageWidth() const override;
    int PageHeight() const override;
    int DotsPerInch() const override;
    TicketOptions Options() const override { return m_options; }

protected:
    explicit PainterCanvas(const TicketOptions& options);
    ~PainterCanvas() override;

    // The device the document goes to, there from construction on.
    virtual const QPaintDevice& device() const = 0;

    // Throws PrinterError with the message when the device cannot be painted on.
    void StartPainting(QPaintDevice& device, const QString& failureMessage);
    // False when the device failed to finish the document.
    bool FinishPainting();
    bool isPainting() const { return m_painter.isActive(); }
    QPainter& painter() { return m_painter; }

private:
    const TicketOptions m_options;
    QPainter m_painter;
    QFont m_font;
    QFontMetrics m_metrics;
    // Widths by font and text: shaping a text is the dearest measure, and a ticket measures
    // each of its rows more than once and a rule's dash on every step.
    std::map<std::pair<QString, int>, QHash<QString, int>> m_widthsByFont;
    QHash<QString, int>* m_widths = nullptr;
};
