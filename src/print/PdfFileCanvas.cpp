#include "print/PdfFileCanvas.h"

#include "core/Error.h"

#include <QDateTime>
#include <QDir>
#include <QFileInfo>
#include <QPageLayout>
#include <QStorageInfo>
#include <QTemporaryFile>
#include <algorithm>
#include <cmath>

namespace {

void RequireDirectory(const QString& directory) {
    if (!QDir().mkpath(directory))
        throw PrinterError(QLatin1String("PDF klasoru olusturulamadi: ") + directory);
}

// Named by the directory, so that each ticket's failure and the check's read the same; the
// system's words for a full disk are often only "unknown error".
PrinterError WriteFailure(const QFileDevice& file, const QString& directory) {
    const bool full = QStorageInfo(directory).bytesAvailable() < PdfFileCanvas::kCheckBytes;
    return PrinterError(
        QLatin1String("PDF dosyasi yazilamadi: ") + directory + QLatin1String(" (") +
        (full ? QStringLiteral("disk dolu") : file.errorString()) + QLatin1Char(')'));
}

} // namespace

PdfFileCanvas::PdfFileCanvas(QString directory, const TicketOptions& options)
    : PainterCanvas(options)
    , m_directory(std::move(directory))
    , m_writer(std::make_unique<QPdfWriter>(&m_file)) {
    m_writer->setResolution(kDotsPerInch);
    SetPageLength(kLongestPagePoints);
}

PdfFileCanvas::~PdfFileCanvas() {
    if (isPainting())
        Abort();
}

void PdfFileCanvas::CheckDirectory(const QString& directory) {
    RequireDirectory(directory);
    QTemporaryFile probe(QDir(directory).filePath(QStringLiteral(".velmora-deneme-XXXXXX")));
    if (!probe.open())
        throw WriteFailure(probe, directory);
    const QByteArray bytes(kCheckBytes, '\0');
    if (probe.write(bytes) != bytes.size() || !probe.flush())
        throw WriteFailure(probe, directory);
}

void PdfFileCanvas::BeginDocument(int contentHeight) {
    RequireDirectory(m_directory);
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
    // The commit would rename a file whose last buffered bytes failed to go out (a full disk)
    // into place: they are pushed out and checked first; Abort then drops the file.
    const bool finished = FinishPainting();
    if (!finished || !m_file.flush() || m_file.error() != QFileDevice::NoError || !m_file.commit())
        throw WriteFailure(m_file, m_directory);
}

void PdfFileCanvas::Abort() noexcept {
    if (isPainting())
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
