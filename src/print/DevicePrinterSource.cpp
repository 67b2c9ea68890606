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
        return std::make_unique<PdfFileCanvas>(PdfDirectory(printer));
    return std::make_unique<SystemPrinterCanvas>(printer);
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
        } else if (IsVirtualPrinter(printer)) {
            PdfFileCanvas::CheckDirectory(PdfDirectory(printer));
        } else {
            SpoolerQueue::Open(printer)->RequireReady();
        }
        return QString();
    } catch (const PrinterError& error) {
        return error.message();
    }
}

QString DevicePrinterSource::PdfDirectory(const QString& path) const {
    return QDir::cleanPath(QDir(m_baseDirectory).filePath(path.mid(kPdfScheme.size())));
}
