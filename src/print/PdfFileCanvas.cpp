#include "print/PdfFileCanvas.h"

#include "core/Error.h"

#include <QDateTime>
#include <QDir>
#include <QFileInfo>
#include <QPageLayout>
#include <algorithm>
#include <cmath>

PdfFileCanvas::PdfFileCanvas(QString directory)
    : m_directory(std::move(directory))
    , m_writer(std::make_unique<QPdfWriter>(&m_file)) {
    m_writer->setResolution(kDotsPerInch);
    SetPageLength(kLongestPagePoints);
}

PdfFileCanvas::~PdfFileCanvas() {
    if (isPainting())
        Abort();
}

void PdfFileCanvas::BeginDocument(int contentHeight) {
    if (!QDir().mkpath(m_directory))
        throw PrinterError(QLatin1String("PDF klasoru olusturulamadi: ") + m_directory);
    m_file.setFileName(NextFileName());
    if (!m_file.open(QIODevice::WriteOnly))
        throw PrinterError(QLatin1String("PDF dosyasi acilamadi: ") + m_file.fileName() +
                           QLatin1String(" (") + m_file.errorString() + QLatin1Char(')'));
    // Whole points, rounded up, so that the page holds the last dot of the content.
    const int points = static_cast<int>(std::ceil(contentHeight * 72.0 / kDotsPerInch));
    SetPageLength(std::clamp(points, 1, kLongestPagePoints));
    StartPainting(*m_writer, QLatin1String("PDF dosyasi yazilamadi: ") + m_file.fileName());
}

void PdfFileCanvas::SetPageLength(int points) {
    // PDF sizes are whole points: the margins are split unevenly by one point so that the
    // printable width stays 72 mm (204 points, 575 dots) rather than rounding up to 578.
    const int paperPoints = qRound(kPaperWidthMm / 25.4 * 72);
    const int printablePoints = qRound(kPrintableWidthMm / 25.4 * 72);
    const int left = (paperPoints - printablePoints) / 2;
    m_writer->setPageLayout(QPageLayout(
        // An exact size: a receipt as long as a standard envelope must not become one.
        QPageSize(QSizeF(kPaperWidthMm, points * 25.4 / 72), QPageSize::Millimeter, QString(),
                  QPageSize::ExactMatch),
        QPageLayout::Portrait, QMarginsF(left, 0, paperPoints - printablePoints - left, 0),
        QPageLayout::Point));
}

void PdfFileCanvas::NewPage() {
    if (!m_writer->newPage())
        throw PrinterError(QLatin1String("Yeni sayfa baslatilamadi: ") + m_file.fileName());
}

void PdfFileCanvas::EndDocument() {
    const bool finished = FinishPainting();
    if (!finished || !m_file.commit())
        throw PrinterError(QLatin1String("PDF dosyasi yazilamadi: ") + m_file.fileName() +
                           QLatin1String(" (") + m_file.errorString() + QLatin1Char(')'));
}

void PdfFileCanvas::Abort() noexcept {
    FinishPainting();
    m_file.cancelWriting();
    m_file.commit(); // with writing cancelled this only drops the temporary file
}

QString PdfFileCanvas::NextFileName() const {
    const QDir directory(m_directory);
    const QString stamp = QDateTime::currentDateTime().toString(QStringLiteral("yyyyMMdd-HHmmss"));
    // Documents of the same second follow the ones already there.
    for (int sequence = 1;; ++sequence) {
        const QString name = directory.filePath(
            QStringLiteral("%1-%2.pdf").arg(stamp).arg(sequence, 4, 10, QLatin1Char('0')));
        if (!QFileInfo::exists(name))
            return name;
    }
}
