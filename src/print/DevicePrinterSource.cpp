#include "print/DevicePrinterSource.h"

#include "print/EscPosCanvas.h"
#include "print/KitchenScreens.h"
#include "print/PdfFileCanvas.h"
#include "print/SpoolerQueue.h"
#include "print/SystemPrinterCanvas.h"

#include <QDir>
#include <QPrinterInfo>
#include <algorithm>

namespace {

const QLatin1String kPdfScheme("pdf:");

// The folder of a "pdf:DIR?OPTIONS" path as written, and its options (null without a "?").
std::pair<QString, QString> SplitPdfPath(const QString& path) {
    const QString rest = path.mid(kPdfScheme.size());
    const qsizetype question = rest.indexOf(QLatin1Char('?'));
    return {rest.left(question), question < 0 ? QString() : rest.mid(question + 1)};
}

} // namespace

DevicePrinterSource::DevicePrinterSource(QString baseDirectory)
    : m_baseDirectory(std::move(baseDirectory)) {}

QStringList DevicePrinterSource::InstalledPrinters() {
    if (!m_installed)
        m_installed = QPrinterInfo::availablePrinterNames();
    return *m_installed;
}

bool DevicePrinterSource::IsVirtualPrinter(const QString& path) const {
    // Printer paths are matched without regard to case, the scheme too.
    return EscPosAddress::IsEscPosPath(path) || ScreenAddress::IsScreenPath(path) ||
           path.startsWith(kPdfScheme, Qt::CaseInsensitive);
}

std::unique_ptr<PrintCanvas> DevicePrinterSource::Select(const QString& printer) {
    // A screen is given the ticket's lines, never a drawing (PrintEngine).
    if (ScreenAddress::IsScreenPath(printer))
        throw PrinterError(QStringLiteral("Ekran cizim almaz: ") + printer);
    if (EscPosAddress::IsEscPosPath(printer))
        return std::make_unique<EscPosCanvas>(EscPosAddress::Parse(printer), m_escPosTimeouts,
                                              m_escPosAnswers);
    if (IsVirtualPrinter(printer))
        return std::make_unique<PdfFileCanvas>(PdfDirectory(printer), TicketOptionsOf(printer));
    return std::make_unique<SystemPrinterCanvas>(printer, TicketOptionsOf(printer));
}

QString DevicePrinterSource::Check(const QString& printer) {
    try {
        if (ScreenAddress::IsScreenPath(printer)) {
            const ScreenAddress address = ScreenAddress::Parse(printer);
            return m_screens ? m_screens->Check(address) : KitchenScreens::kNotConnected;
        }
        if (EscPosAddress::IsEscPosPath(printer)) {
            // A document begun and dropped: the printer is asked its status, nothing is
            // printed. Every wait is the short one, so a printer that hangs holds the tick no
            // longer than one that is gone.
            EscPosTimeouts quick = m_escPosTimeouts;
            quick.connect = std::min(quick.connect, kCheckWaitMs);
            quick.write = std::min(quick.write, kCheckWaitMs);
            quick.status = std::min(quick.status, kCheckWaitMs);
            EscPosCanvas canvas(EscPosAddress::Parse(printer), quick, m_escPosAnswers);
            canvas.BeginDocument(1);
            canvas.Abort();
        } else {
            // Options it refuses fail the printer as they fail each of its tickets.
            TicketOptionsOf(printer);
            if (IsVirtualPrinter(printer))
                PdfFileCanvas::CheckDirectory(PdfDirectory(printer));
            else
                SpoolerQueue::Open(printer)->RequireReady();
        }
        return QString();
    } catch (const PrinterError& error) {
        return error.message();
    }
}

void DevicePrinterSource::setSpoolerOptions(const QHash<QString, SpoolerOptions>& options) {
    m_spoolerOptions.clear();
    for (auto printer = options.cbegin(); printer != options.cend(); ++printer)
        m_spoolerOptions.insert(printer.key().toCaseFolded(), printer.value());
}

QString DevicePrinterSource::PdfDirectory(const QString& path) const {
    return QDir::cleanPath(QDir(m_baseDirectory).filePath(SplitPdfPath(path).first));
}

TicketOptions DevicePrinterSource::TicketOptionsOf(const QString& printer) const {
    // A screen shows the ticket's lines its own way; its options are not the paper's.
    if (ScreenAddress::IsScreenPath(printer))
        return TicketOptions();
    if (EscPosAddress::IsEscPosPath(printer))
        return EscPosAddress::Parse(printer).ticket;
    if (IsVirtualPrinter(printer)) {
        const QString options = SplitPdfPath(printer).second;
        return options.isNull()
                   ? TicketOptions()
                   : PrinterOptions::Parse(options, PrinterOptions::Kind::Pdf,
                                           QStringLiteral("Gecersiz PDF yazici adresi: ") + printer)
                         .ticket;
    }
    const auto given = m_spoolerOptions.constFind(printer.toCaseFolded());
    if (given == m_spoolerOptions.cend())
        return TicketOptions();
    return PrinterOptions::Parse(given->text, PrinterOptions::Kind::Spooler,
                                 QStringLiteral("Gecersiz yazici secenegi: ") + given->where)
        .ticket;
}
