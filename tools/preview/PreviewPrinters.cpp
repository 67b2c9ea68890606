#include "preview/PreviewPrinters.h"

#include "core/Error.h"
#include "preview/PreviewFolder.h"

#include <QDir>
#include <QFile>

PreviewPrinters::PreviewPrinters(const PrinterRegistry& registered, const PreviewFolder& folder)
    : m_registered(registered)
    , m_folder(folder)
    , m_staging(folder.filePath(QStringLiteral(".staging-XXXXXX"))) {
    if (!m_staging.isValid())
        throw Error(QStringLiteral("Onizleme klasorunde calisma klasoru acilamadi: ") +
                    folder.path());
}

QString PreviewPrinters::FindPrinterPath(const QString& printer) const {
    m_lookups << printer;
    return QStringLiteral("pdf:") + m_staging.filePath(QString::number(m_lookups.size()));
}

QList<PreviewTicket> PreviewPrinters::Collect() {
    QList<QPair<QString, QString>> printed; // printer, staged file
    for (qsizetype i = 0; i < m_lookups.size(); ++i) {
        const QDir staged(m_staging.filePath(QString::number(i + 1)));
        // The canvas names its files so that they sort in print order.
        for (const QString& name :
             staged.entryList({QStringLiteral("*.pdf")}, QDir::Files, QDir::Name))
            printed.append({m_lookups.at(i), staged.filePath(name)});
    }
    const int width = qMax(2, static_cast<int>(QString::number(printed.size()).size()));
    QList<PreviewTicket> tickets;
    for (qsizetype i = 0; i < printed.size(); ++i) {
        const auto& [printer, staged] = printed.at(i);
        const QString target =
            m_folder.filePath(QStringLiteral("%1").arg(i + 1, width, 10, QLatin1Char('0')) +
                              QLatin1Char('-') + FileNameFor(printer) + QStringLiteral(".pdf"));
        QFile::remove(target);
        if (!QFile::rename(staged, target))
            throw Error(QStringLiteral("PDF dosyasi tasinamadi: ") + target);
        tickets.append({printer, m_registered.FindPrinterPath(printer), target});
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
