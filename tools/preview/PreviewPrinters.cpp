#include "preview/PreviewPrinters.h"

#include "core/Error.h"
#include "preview/PreviewFolder.h"
#include "print/EscPosAddress.h"
#include "print/PrinterOptions.h"

#include <QDir>
#include <QFile>

PreviewPrinters::PreviewPrinters(const PrinterRegistry& registered,
                                 const DevicePrinterSource& printers, const PreviewFolder& folder)
    : m_registered(registered)
    , m_printers(printers)
    , m_folder(folder)
    , m_staging(folder.filePath(QStringLiteral(".staging-XXXXXX"))) {
    if (!m_staging.isValid())
        throw Error(QStringLiteral("Onizleme klasorunde calisma klasoru acilamadi: ") +
                    folder.path());
}

QString PreviewPrinters::FindPrinterPath(const QString& printer) const {
    m_lookups << printer;
    m_refusals << QString();
    const QString staged =
        QStringLiteral("pdf:") + m_staging.filePath(QString::number(m_lookups.size()));
    const QString options =
        PrinterOptions::TicketText(DrawnOptions(m_registered.FindPrinterPath(printer)));
    return options.isEmpty() ? staged : staged + QLatin1Char('?') + options;
}

TicketOptions PreviewPrinters::DrawnOptions(const QString& path) const {
    try {
        const TicketOptions options = m_printers.TicketOptionsOf(path);
        return EscPosAddress::IsEscPosPath(path) ? options.InOneColour() : options;
    } catch (const PrinterError& error) {
        m_refusals.last() = error.message();
        return {};
    }
}

QList<PreviewTicket> PreviewPrinters::Collect() {
    QList<QPair<qsizetype, QString>> printed; // lookup, staged file
    for (qsizetype i = 0; i < m_lookups.size(); ++i) {
        const QDir staged(m_staging.filePath(QString::number(i + 1)));
        // The canvas names its files so that they sort in print order.
        for (const QString& name :
             staged.entryList({QStringLiteral("*.pdf")}, QDir::Files, QDir::Name))
            printed.append({i, staged.filePath(name)});
    }
    const int width = qMax(2, static_cast<int>(QString::number(printed.size()).size()));
    QList<PreviewTicket> tickets;
    for (qsizetype i = 0; i < printed.size(); ++i) {
        const auto& [lookup, staged] = printed.at(i);
        const QString& printer = m_lookups.at(lookup);
        const QString target =
            m_folder.filePath(QStringLiteral("%1").arg(i + 1, width, 10, QLatin1Char('0')) +
                              QLatin1Char('-') + FileNameFor(printer) + QStringLiteral(".pdf"));
        QFile::remove(target);
        if (!QFile::rename(staged, target))
            throw Error(QStringLiteral("PDF dosyasi tasinamadi: ") + target);
        tickets.append(
            {printer, m_registered.FindPrinterPath(printer), target, m_refusals.at(lookup)});
    }
    return tickets;
}

QString PreviewPrinters::FileNameFor(const QString& printer) {
    if (printer.isEmpty())
        return QStringLiteral("(adsiz)");
    QString name = printer;
    for (QChar& c : name) {
        if (c < QLatin1Char(' ') || QStringLiteral("/\\:*?\"<>|").contains(c))
            c = QLatin1Char('_');
    }
    return name;
}
