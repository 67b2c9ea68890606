#include "core/Error.h"
#include "core/RegionalSettings.h"
#include "print/DevicePrinterSource.h"
#include "print/PdfFileCanvas.h"
#include "print/PrintEngine.h"
#include "support/ExternalTool.h"
#include "support/SampleTickets.h"

#include <QDir>
#include <QFileInfo>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#ifdef Q_OS_UNIX
#include <sys/stat.h>
#endif

namespace {

class PdfPrinterTest : public ::testing::Test {
protected:
    void PrintOn(const QString& path, const Ticket& ticket) {
        PrintEngine engine(m_billNumber, settings, m_log, m_source, [](int) {});
        engine.PrintTicket(path, ticket);
    }
    QString PathOf(const QString& subdirectory) const {
        return QStringLiteral("pdf:") + dir.filePath(subdirectory);
    }
    QStringList FilesIn(const QString& subdirectory) const {
        return QDir(dir.filePath(subdirectory)).entryList(QDir::Files, QDir::Name);
    }
    // The one PDF file printed into the subdirectory.
    QString OnlyFileIn(const QString& subdirectory) const {
        const QStringList files = FilesIn(subdirectory);
        EXPECT_EQ(files.size(), 1);
        return dir.filePath(subdirectory + QLatin1Char('/') + files.value(0));
    }
    // The symbols zbarimg finds on the first page rendered at the printer's resolution.
    QStringList ScanBarcodes(const QString& pdf) const {
        const QString image = dir.filePath(QStringLiteral("scan"));
        const ToolRun render =
            RunTool(QStringLiteral("pdftoppm"),
                    {QStringLiteral("-r"), QStringLiteral("203"), QStringLiteral("-png"),
                     QStringLiteral("-singlefile"), pdf, image});
        EXPECT_EQ(render.exitCode, 0) << render.errors.toStdString();
        return RunTool(QStringLiteral("zbarimg"),
                       {QStringLiteral("--quiet"), image + QStringLiteral(".png")})
            .output.split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    }
    static QString TextOf(const QString& pdf) {
        const ToolRun run = RunTool(QStringLiteral("pdftotext"),
                                    {QStringLiteral("-layout"), pdf, QStringLiteral("-")});
        EXPECT_EQ(run.exitCode, 0) << run.errors.toStdString();
        return run.output;
    }

    QTemporaryDir dir;
    PrintSettings settings;

private:
    QString m_billNumber;
    DiagnosticLog m_log{dir.filePath(QStringLiteral("Velmora.log"))};
    DevicePrinterSource m_source{dir.path()};
};

#ifndef Q_OS_WIN // the text and the barcodes are read by poppler and zbar, Linux programs
// Each text must come after the one before it in the extracted text.
void ExpectInOrder(const QString& text, const QStringList& parts) {
    qsizetype from = 0;
    for (const QString& part : parts) {
        const qsizetype at = text.indexOf(part, from);
        ASSERT_GE(at, 0) << "missing or out of order: " << part.toStdString() << "\n"
                         << text.toStdString();
        from = at + part.size();
    }
}

TEST_F(PdfPrinterTest, BillPrintsWithExtractableTextInOrderAndAScannableBarcode) {
    PrintOn(PathOf(QStringLiteral("out")), SampleBill());
    const QString pdf = OnlyFileIn(QStringLiteral("out"));

    const QString date = QDate::currentDate().toString(RegionalSettings::current().shortDateFormat);
    ExpectInOrder(TextOf(pdf),
                  {QStringLiteral("ÇINAR LOKANTASI"), date, QStringLiteral("Masa: 12 Garson: Ayşe"),
                   QStringLiteral("2   Çay"), QStringLiteral("20"), QStringLiteral("1   İskender"),
                   QStringLiteral("250"), QStringLiteral("3   Şiş Köfte"), QStringLiteral("42,5"),
                   QStringLiteral("Ara Toplam"), QStringLiteral("312,5"),
                   QStringLiteral("TOPLAM: 312,5")});

    const QStringList scanned = ScanBarcodes(pdf);
    EXPECT_TRUE(scanned.contains(QStringLiteral("CODE-39:0000000003025")))
        << scanned.join(QLatin1Char('|')).toStdString();
}

TEST_F(PdfPrinterTest, EveryCode39CharacterScansBack) {
    const QStringList texts{QStringLiteral("0123456789"), QStringLiteral("ABCDEFGHIJKLM"),
                            QStringLiteral("NOPQRSTUVWXYZ"), QStringLiteral("-. $/+%")};
    Ticket ticket;
    for (const QString& text : texts)
        ticket << QStringLiteral("@B") + text << QString();
    PrintOn(PathOf(QStringLiteral("codes")), ticket);

    const QStringList scanned = ScanBarcodes(OnlyFileIn(QStringLiteral("codes")));
    for (const QString& text : texts)
        EXPECT_TRUE(scanned.contains(QStringLiteral("CODE-39:") + text))
            << text.toStdString() << " not in " << scanned.join(QLatin1Char('|')).toStdString();
}
#endif

TEST_F(PdfPrinterTest, FilesAreNamedToSortInPrintOrderWithDefaultPermissions) {
    for (const QString& text :
         {QStringLiteral("BIRINCI"), QStringLiteral("IKINCI"), QStringLiteral("UCUNCU")})
        PrintOn(PathOf(QStringLiteral("archive")), {text});

    const QStringList files = FilesIn(QStringLiteral("archive")); // nothing else left behind
    ASSERT_EQ(files.size(), 3);
    const QRegularExpression name(QStringLiteral("^\\d{8}-\\d{6}-\\d{4}\\.pdf$"));
    for (const QString& file : files)
        EXPECT_TRUE(name.match(file).hasMatch()) << file.toStdString();
#ifndef Q_OS_WIN // pdftotext
    QStringList texts;
    for (const QString& file : files)
        texts << TextOf(dir.filePath(QStringLiteral("archive/") + file)).trimmed();
    EXPECT_EQ(texts, QStringList({QStringLiteral("BIRINCI"), QStringLiteral("IKINCI"),
                                  QStringLiteral("UCUNCU")}));
#endif

#ifdef Q_OS_UNIX
    const mode_t mask = umask(0);
    umask(mask);
    struct stat status {};
    ASSERT_EQ(
        stat(
            QFile::encodeName(dir.filePath(QStringLiteral("archive/") + files.first())).constData(),
            &status),
        0);
    EXPECT_EQ(status.st_mode & 0777, 0666 & ~mask);
#endif
}

TEST_F(PdfPrinterTest, RelativeDirectoryIsUnderTheBaseDirectoryAndIsCreated) {
    DevicePrinterSource source(dir.path());
    EXPECT_EQ(source.PdfDirectory(QStringLiteral("pdf:fis/kasa")),
              dir.filePath(QStringLiteral("fis/kasa")));
    const QString absolute = QDir::rootPath() + QStringLiteral("var/fis");
    EXPECT_EQ(source.PdfDirectory(QStringLiteral("PDF:") + absolute), absolute);
    EXPECT_TRUE(source.IsVirtualPrinter(QStringLiteral("Pdf:x")));
    EXPECT_FALSE(source.IsVirtualPrinter(QStringLiteral("Kasa pdf:x")));

    PrintOn(QStringLiteral("pdf:fis/kasa"), {QStringLiteral("x")});
    EXPECT_EQ(FilesIn(QStringLiteral("fis/kasa")).size(), 1);
}

TEST_F(PdfPrinterTest, UnwritableDirectoryIsAPrinterError) {
    QFile blocker(dir.filePath(QStringLiteral("file")));
    ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    EXPECT_THROW(PrintOn(PathOf(QStringLiteral("file/sub")), {QStringLiteral("x")}), PrinterError);
}

TEST(PdfFileCanvasTest, RollPaperAtReceiptPrinterResolutionWithAMonospacedBaseFont) {
    QTemporaryDir dir;
    PdfFileCanvas canvas(dir.path());
    // Measured before the document begins, as a ticket is, and the same while it is painted.
    EXPECT_EQ(canvas.DotsPerInch(), 203);
    EXPECT_NEAR(canvas.PageWidth(), 72 / 25.4 * 203, 1);
    canvas.SetFont(QStringLiteral("Lucida Console"), 10);
    const int width = canvas.TextWidth(QStringLiteral("iiii"));
    canvas.BeginDocument(1000);
    EXPECT_EQ(canvas.TextWidth(QStringLiteral("iiii")), width);
    // The page holds the content to its last dot, in whole points.
    EXPECT_GE(canvas.PageHeight(), 1000);
    EXPECT_LE(canvas.PageHeight(), 1003);

    EXPECT_GT(width, 0);
    EXPECT_EQ(width, canvas.TextWidth(QStringLiteral("MMMM")));
    // Ten points are 28 dots at 203 dpi; the cell is a little taller than the size.
    EXPECT_GE(canvas.TextHeight(QStringLiteral("x")), 28);
    EXPECT_LE(canvas.TextHeight(QStringLiteral("x")), 45);
    EXPECT_EQ(canvas.TextHeight(QString()), canvas.TextHeight(QStringLiteral("x")));
    canvas.Abort();

    PdfFileCanvas endless(dir.path());
    endless.BeginDocument(1000000000);
    EXPECT_NEAR(endless.PageHeight(), PdfFileCanvas::kLongestPagePoints / 72.0 * 203, 1);
    endless.Abort();
}

TEST(PdfFileCanvasTest, AbortedDocumentLeavesNoFile) {
    QTemporaryDir dir;
    {
        PdfFileCanvas canvas(dir.path());
        canvas.BeginDocument(100);
        canvas.SetFont(QStringLiteral("Lucida Console"), 10);
        canvas.DrawText(0, 0, QStringLiteral("yarim"), {});
        canvas.Abort();
    }
    EXPECT_TRUE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden).isEmpty());
}

} // namespace
