#pragma once

#include "print/PainterCanvas.h"
#include "print/SpoolerQueue.h"

#include <QPrinter>
#include <QString>
#include <memory>

// A document on an installed system printer (the CUPS queue or the Windows spooler), in the
// printer's own dots at its own resolution, on its own paper. Where the driver takes custom
// page sizes, the page is as long as the ticket, up to the longest page it takes. Its queue is
// asked first and takes the finished document (SpoolerQueue). Red stands out in red where the
// driver says it prints colour, reversed elsewhere.
class SystemPrinterCanvas : public PainterCanvas {
public:
    explicit SystemPrinterCanvas(const QString& printerName, const TicketOptions& options = {});
    ~SystemPrinterCanvas() override;

    void BeginDocument(int contentHeight) override;
    void NewPage() override;
    void EndDocument() override;
    void Abort() noexcept override;

protected:
    const QPaintDevice& device() const override { return m_printer; }

private:
    void FitPageTo(int contentHeight);

    std::unique_ptr<SpoolerQueue> m_queue; // outlives the printer, which may write into it
    QPrinter m_printer;
};
