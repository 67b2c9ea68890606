#pragma once

#include "print/PrintCanvas.h"

// The metrics of a device on a page without end, with nothing drawn: a ticket laid out on it
// never breaks a page, so the renderer's cursor ends where the content ends.
class MeasuringCanvas : public PrintCanvas {
public:
    explicit MeasuringCanvas(PrintCanvas& device);

    void BeginDocument(int) override {}
    void SetFont(const QString& face, int pointSize) override;
    bool HasFace(const QString& face) const override;
    int TextWidth(const QString& text) const override;
    int TextHeight(const QString& text) const override;
    void DrawText(int, int, const QString&) override {}
    void FillRect(const QRect&, const QColor&) override {}
    int PageWidth() const override;
    int PageHeight() const override;
    int DotsPerInch() const override;
    void NewPage() override {}
    void EndDocument() override {}
    void Abort() noexcept override {}

private:
    PrintCanvas& m_device;
};
