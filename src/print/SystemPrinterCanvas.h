#pragma once

#include "print/PainterCanvas.h"

#include <QPrinter>
#include <QString>

// A document on an installed system printer (the CUPS queue or the Windows spooler), in the
// printer's own dots.
class SystemPrinterCanvas : public PainterCanvas {
public:
    explicit SystemPrinterCanvas(const QString& printerName);
    ~SystemPrinterCanvas() override;

    void BeginDocument(int contentHeight) override;
    void NewPage() override;
    void EndDocument() override;
    void Abort() noexcept override;

protected:
    const QPaintDevice& device() const override { return m_printer; }

private:
    QPrinter m_printer;
};
