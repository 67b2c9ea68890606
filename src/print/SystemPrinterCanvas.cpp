#include "print/SystemPrinterCanvas.h"

#include "core/Error.h"

SystemPrinterCanvas::SystemPrinterCanvas(const QString& printerName)
    : m_queue(printerName)
    , m_printer(QPrinter::HighResolution) {
    m_printer.setPrinterName(printerName);
    const QString documentFile = m_queue.documentFile();
    if (!documentFile.isEmpty())
        m_printer.setOutputFileName(documentFile);
}

SystemPrinterCanvas::~SystemPrinterCanvas() {
    if (isPainting())
        Abort();
}

void SystemPrinterCanvas::BeginDocument() {
    if (!m_printer.isValid())
        throw PrinterError(QLatin1String("Yazici secilemedi: ") + m_printer.printerName());
    m_queue.RequireReady();
    StartPainting(m_printer, QLatin1String("Yazdirma baslatilamadi: ") + m_printer.printerName());
}

void SystemPrinterCanvas::NewPage() {
    if (!m_printer.newPage())
        throw PrinterError(QLatin1String("Yeni sayfa baslatilamadi: ") + m_printer.printerName());
}

void SystemPrinterCanvas::EndDocument() {
    if (!FinishPainting())
        throw PrinterError(QLatin1String("Yazdirma tamamlanamadi: ") + m_printer.printerName());
    m_queue.Submit(m_printer.pageLayout().pageSize().key());
}

void SystemPrinterCanvas::Abort() noexcept {
    // Where the platform cannot cancel (CUPS), ending still frees the printer for the next job.
    m_printer.abort();
    FinishPainting();
}
