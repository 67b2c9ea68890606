#pragma once

#include "print/PainterCanvas.h"
#include "print/SpoolerQueue.h"

#include <QPrinter>
#include <QString>

// A document on an installed system printer (the CUPS queue or the Windows spooler), in the
// printer's own dots. Its queue is asked first and answers for the handing over
// (SpoolerQueue).
class SystemPrinterCanvas : public PainterCanvas {
public:
    explicit SystemPrinterCanvas(const QString& printerName);
    ~SystemPrinterCanvas() override;

    void BeginDocument() override;
    void NewPage() override;
    void EndDocument() override;
    void Abort() noexcept override;

private:
    SpoolerQueue m_queue; // outlives the printer, which writes into its document file
    QPrinter m_printer;
};
