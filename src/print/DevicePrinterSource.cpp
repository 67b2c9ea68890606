#include "print/DevicePrinterSource.h"

#include "print/EscPosCanvas.h"
#include "print/PdfFileCanvas.h"
#include "print/SystemPrinterCanvas.h"

#include <QDir>
#include <QPrinterInfo>

namespace {
const QLatin1String kPdfScheme("pdf:");
}

DevicePrinterSource::DevicePrinterSource(QString baseDirectory)
    : m_baseDirectory(std::move(baseDirectory)) {}

QStringList DevicePrinterSource::InstalledPrinters() {
    if (!m_installed)
        m_installed = QPrinterInfo::availablePrinterNames();
    return *m_installed;
}

bool DevicePrinterSource::IsVirtualPrinter(const QString& path) const {
    // Printer paths are matched without regard to case, the scheme too.
    return EscPosAddress::IsEscPosPath(path) || path.startsWith(kPdfScheme, Qt::CaseInsensitive);
}

std::unique_ptr<PrintCanvas> DevicePrinterSource::Select(const QString& printer) {
    if (EscPosAddress::IsEscPosPath(printer))
        return std::make_unique<EscPosCanvas>(EscPosAddress::Parse(printer), m_escPosTimeouts,
                                              m_escPosAnswers);
    if (IsVirtualPrinter(printer))
        return std::make_unique<PdfFileCanvas>(PdfDirectory(printer));
    return std::make_unique<SystemPrinterCanvas>(printer);
}

QString DevicePrinterSource::PdfDirectory(const QString& path) const {
    return QDir::cleanPath(QDir(m_baseDirectory).filePath(path.mid(kPdfScheme.size())));
}
