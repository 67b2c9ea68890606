#include "print/SystemPrinterCanvas.h"

#include "core/Error.h"

SystemPrinterCanvas::SystemPrinterCanvas(const QString& printerName)
    : m_printer(QPrinter::HighResolution) {
    m_printer.setPrinterName(printerName);
}

SystemPrinterCanvas::~SystemPrinterCanvas() {
    if (isPainting())
        Abort();
}

void SystemPrinterCanvas::BeginDocument(int) {
    if (!m_printer.isValid())
        throw PrinterError(QLatin1String("Yazici secilemedi: ") + m_printer.printerName());
    StartPainting(m_printer, QLatin1String("Yazdirma baslatilamadi: ") + m_printer.printerName());
}

void SystemPrinterCanvas::NewPage() {
    if (!m_printer.newPage())
        throw PrinterError(QLatin1String("Yeni sayfa baslatilamadi: ") + m_printer.printerName());
}

void SystemPrinterCanvas::EndDocument() {
    if (!FinishPainting())
        throw PrinterError(QLatin1String("Yazdirma tamamlanamadi: ") + m_printer.printerName());
}

void SystemPrinterCanvas::Abort() noexcept {
    // Where the platform cannot cancel (CUPS), ending still frees the printer for the next job.
    m_printer.abort();
    FinishPainting();
}
