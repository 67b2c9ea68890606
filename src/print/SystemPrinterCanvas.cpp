#include "print/SystemPrinterCanvas.h"

#include "core/Error.h"

#include <QPrinterInfo>
#include <algorithm>
#include <cmath>

namespace {

// Red where the driver prints in colour; the driver is asked only when red is asked for.
TicketOptions AsPrinted(const QString& printerName, const TicketOptions& options) {
    if (options.emphasis != TicketOptions::Emphasis::Red ||
        QPrinterInfo::printerInfo(printerName).supportedColorModes().contains(QPrinter::Color))
        return options;
    return options.InOneColour();
}

} // namespace

SystemPrinterCanvas::SystemPrinterCanvas(const QString& printerName, const TicketOptions& options)
    : PainterCanvas(AsPrinted(printerName, options))
    , m_queue(SpoolerQueue::Open(printerName))
    , m_printer(QPrinter::HighResolution) {
    // Sol, Sag and Ust are the printer's dots.
    m_queue->Direct(m_printer);
    // Tickets are laid out to the width of the printer's own paper, not Qt's default page.
    const QPageSize paper = QPrinterInfo(m_printer).defaultPageSize();
    if (paper.isValid())
        m_printer.setPageSize(paper);
    if (Options().emphasis == TicketOptions::Emphasis::Red)
        m_printer.setColorMode(QPrinter::Color);
}

SystemPrinterCanvas::~SystemPrinterCanvas() {
    if (isPainting())
        Abort();
}

void SystemPrinterCanvas::BeginDocument(int contentHeight) {
    if (!m_printer.isValid())
        throw PrinterError(QLatin1String("Yazici secilemedi: ") + m_printer.printerName());
    m_queue->RequireReady();
    FitPageTo(contentHeight);
    StartPainting(m_printer, QLatin1String("Yazdirma baslatilamadi: ") + m_printer.printerName());
}

// The paper's width and the content's length, within the custom sizes the driver takes; a
// longer ticket fills the longest page and breaks onto the next.
void SystemPrinterCanvas::FitPageTo(int contentHeight) {
    const QPrinterInfo driver(m_printer);
    if (!driver.supportsCustomPageSizes())
        return;
    const double width = m_printer.pageLayout().fullRectPoints().width();
    const QSizeF smallest = driver.minimumPhysicalPageSize().size(QPageSize::Point);
    const QSizeF largest = driver.maximumPhysicalPageSize().size(QPageSize::Point);
    if (width < smallest.width() || width > largest.width())
        return;
    const auto paper = [&](double length) {
        return QPageSize(QSizeF(width, std::clamp(length, smallest.height(), largest.height())),
                         QPageSize::Point, QString(), QPageSize::ExactMatch);
    };
    // The margins the driver keeps on a custom page belong to the length as well.
    m_printer.setPageSize(paper(smallest.height()));
    const QMarginsF margins = m_printer.pageLayout().margins(QPageLayout::Point);
    double length =
        std::ceil(contentHeight * 72.0 / m_printer.resolution() + margins.top() + margins.bottom());
    m_printer.setPageSize(paper(length));
    // Margins rounded to dots may cost the printable height its last dot.
    if (m_printer.height() < contentHeight)
        m_printer.setPageSize(paper(++length));
}

void SystemPrinterCanvas::NewPage() {
    if (!m_printer.newPage())
        throw PrinterError(QLatin1String("Yeni sayfa baslatilamadi: ") + m_printer.printerName());
}

void SystemPrinterCanvas::EndDocument() {
    m_queue->Submit(painter(), m_printer);
}

void SystemPrinterCanvas::Abort() noexcept {
    // Where the platform cannot cancel (CUPS), ending still frees the printer for the next job.
    m_printer.abort();
    FinishPainting();
}
