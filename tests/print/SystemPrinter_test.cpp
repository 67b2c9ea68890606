#include "print/DevicePrinterSource.h"
#include "print/PrintEngine.h"
#include "support/ExternalTool.h"
#include "support/PdfWords.h"
#include "support/QueueHarness.h"
#include "support/TicketLines.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QMap>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QThread>
#include <gtest/gtest.h>
#ifdef Q_OS_UNIX
#include <pwd.h>
#include <unistd.h>
#endif

namespace {

QString QueueName() {
    const QString queue = qEnvironmentVariable("VELMORA_CUPS_QUEUE");
    return queue.isEmpty() ? QStringLiteral("VelmoraPDF") : queue;
}

bool CupsIsRunning() {
    const ToolRun run = RunTool(QStringLiteral("lpstat"), {QStringLiteral("-r")});
    return run.exitCode == 0 && run.output.contains(QStringLiteral("is running"));
}

// Where cups-pdf puts the files of this user's jobs and of anonymous ones, from its
// configuration (the "Out" and "AnonDirName" keys) or its defaults.
QStringList CupsPdfDirectories() {
    QString home = QDir::homePath();
    QString user = qEnvironmentVariable("USER");
#ifdef Q_OS_UNIX
    if (const passwd* entry = getpwuid(getuid())) {
        home = QString::fromLocal8Bit(entry->pw_dir);
        user = QString::fromLocal8Bit(entry->pw_name);
    }
#endif
    QString out = QStringLiteral("/var/spool/cups-pdf/${USER}");
    QString anonymous = QStringLiteral("/var/spool/cups-pdf/ANONYMOUS");
    QFile config(QStringLiteral("/etc/cups/cups-pdf.conf"));
    if (config.open(QIODevice::ReadOnly)) {
        const QRegularExpression setting(QStringLiteral("^(Out|AnonDirName)\\s+(\\S.*)$"));
        for (const QByteArray& line : config.readAll().split('\n')) {
            const auto match = setting.match(QString::fromLocal8Bit(line).trimmed());
            if (match.hasMatch())
                (match.captured(1) == QLatin1String("Out") ? out : anonymous) = match.captured(2);
        }
    }
    out.replace(QStringLiteral("${HOME}"), home).replace(QStringLiteral("${USER}"), user);
    return {out, anonymous};
}

// The PDF files there, each with the time it was last written: cups-pdf gives every untitled
// job the same name.
QMap<QString, QDateTime> PdfFiles(const QStringList& directories) {
    QMap<QString, QDateTime> files;
    for (const QString& directory : directories) {
        for (const QFileInfo& file :
             QDir(directory).entryInfoList({QStringLiteral("*.pdf")}, QDir::Files))
            files.insert(file.filePath(), file.lastModified());
    }
    return files;
}

bool QueueIsEmpty(const QString& queue) {
    const ToolRun run = RunTool(QStringLiteral("lpstat"), {QStringLiteral("-o"), queue});
    return run.exitCode == 0 && run.output.trimmed().isEmpty();
}

// The PDFs cups-pdf wrote since before, once the queue has no job left; none after a minute.
QStringList NewPdfs(const QString& queue, const QStringList& directories,
                    const QMap<QString, QDateTime>& before) {
    QDeadlineTimer deadline(60000);
    while (!deadline.hasExpired()) {
        if (QueueIsEmpty(queue)) {
            QStringList produced;
            const QMap<QString, QDateTime> now = PdfFiles(directories);
            for (auto file = now.cbegin(); file != now.cend(); ++file) {
                if (before.value(file.key()) != file.value())
                    produced << file.key();
            }
            if (!produced.isEmpty())
                return produced;
        }
        QThread::msleep(200);
    }
    return {};
}

// Prints the ticket on the queue through the real engine and gives the PDF that cups-pdf made
// of it, or an empty path after a minute.
QString PrintThroughCups(const QString& queue, const PrintSettings& settings,
                         const Ticket& ticket) {
    QTemporaryDir dir;
    DevicePrinterSource source(dir.path());
    EXPECT_TRUE(source.InstalledPrinters().contains(queue))
        << "queue " << queue.toStdString() << " is missing; run scripts/start-cups";
    const QStringList directories = CupsPdfDirectories();
    const QMap<QString, QDateTime> before = PdfFiles(directories);

    const QString billNumber;
    DiagnosticLog log(dir.filePath(QStringLiteral("Velmora.log")));
    PrintEngine engine(billNumber, settings, log, source, [](int) {});
    engine.PrintTicket(queue.toLower(), ticket);

    const QStringList produced = NewPdfs(queue, directories, before);
    EXPECT_EQ(produced.size(), 1) << "no PDF from CUPS in " << directories.join(", ").toStdString();
    return produced.value(0);
}

// A cups-pdf queue of the test's own (lpadmin needs root), removed with its jobs at the end.
class TestQueue {
public:
    explicit TestQueue(const QString& name,
                       const QStringList& driver = {"-m", "lsb/usr/cups-pdf/CUPS-PDF_noopt.ppd"})
        : m_name(name)
        , m_created(Run("lpadmin", QStringList{"-p", name, "-E", "-v", "cups-pdf:/"} + driver)) {}
    ~TestQueue() {
        if (m_created)
            Run("lpadmin", {"-x", m_name});
    }
    bool created() const { return m_created; }
    const QString& name() const { return m_name; }
    // The tool on this queue alone unless told otherwise.
    bool Run(const char* tool, const QStringList& arguments = {}) const {
        return RunTool(QLatin1String(tool), arguments.isEmpty() ? QStringList{m_name} : arguments)
                   .exitCode == 0;
    }

private:
    QString m_name;
    bool m_created;
};

int TextLinesOnPage(const QString& pdf, int page) {
    const QString number = QString::number(page);
    const ToolRun run =
        RunTool(QStringLiteral("pdftotext"), {QStringLiteral("-f"), number, QStringLiteral("-l"),
                                              number, pdf, QStringLiteral("-")});
    return static_cast<int>(run.output.split(QLatin1Char('\n'), Qt::SkipEmptyParts)
                                .filter(QRegularExpression(QStringLiteral("\\S")))
                                .size());
}

TEST(SystemPrinterTest, TicketGoesThroughTheSpoolerToTheCupsPdfQueue) {
    if (!CupsIsRunning())
        GTEST_SKIP() << "CUPS is not running here (scripts/start-cups starts it)";
    PrintSettings settings;
    settings.top = 1000000; // past the driver's longest page: the first line falls off it
    const QString pdf = PrintThroughCups(
        QueueName(), settings,
        {QStringLiteral("SATIR BIR"), QStringLiteral("SATIR IKI"), QStringLiteral("SATIR UC")});
    ASSERT_FALSE(pdf.isEmpty());

    const ToolRun info = RunTool(QStringLiteral("pdfinfo"), {pdf});
    EXPECT_TRUE(info.output.contains(QRegularExpression(QStringLiteral("Pages:\\s+2\\n"))))
        << info.output.toStdString();
    // The spooler's PDF keeps no text map, but the lines are there: none on the first page,
    // the two after the break on the second.
    EXPECT_EQ(TextLinesOnPage(pdf, 1), 0);
    EXPECT_EQ(TextLinesOnPage(pdf, 2), 2);
    QFile::remove(pdf);
}

// Ust, Sol and Sag move the text by that many of the printer's dots, and the receipt is as long
// as the ticket with its top margin.
TEST(SystemPrinterTest, MarginsAreThePrintersDotsAndTheReceiptIsAsLongAsTheTicket) {
    if (!CupsIsRunning())
        GTEST_SKIP() << "CUPS is not running here (scripts/start-cups starts it)";
    // A queue of its own, on a driver that prints at 203 dpi and takes custom lengths.
    const TestQueue queue(
        QStringLiteral("VelmoraReceipt%1").arg(QCoreApplication::applicationPid()),
        {QStringLiteral("-P"), QStringLiteral(VELMORA_SOURCE_DIR "/tests/print/Receipt203.ppd")});
    if (!queue.created())
        GTEST_SKIP() << "lpadmin cannot add a queue here (it needs root)";
    // Longer than the driver's shortest page, an inch, without the top margin. The spooler's PDF
    // has no text map: its words are known by their places.
    const Ticket ticket = Lines("UST|#-ORTA|SOL|>-SAG|1|2|3|4");
    PrintSettings margins;
    margins.top = 600;
    margins.left = 40;
    margins.right = 100;
    QList<PdfPage> pages;
    for (const PrintSettings& settings : {PrintSettings(), margins}) {
        const QString pdf = PrintThroughCups(queue.name(), settings, ticket);
        pages << ReadPdfPage(pdf);
        QFile::remove(pdf);
        ASSERT_EQ(pages.last().words.size(), 8);
    }

    EXPECT_NEAR(pages[1].words[0].top() - pages[0].words[0].top(), 600, 2);
    EXPECT_NEAR(pages[1].words[1].left() - pages[0].words[1].left(), 40 - 100 / 2, 1);
    EXPECT_NEAR(pages[1].words[3].right() - pages[0].words[3].right(), -100, 1);
    EXPECT_NEAR(pages[1].height - pages[0].height, 600, 3);
    EXPECT_LT(pages[0].height, 100 / 25.4 * 203);
}

// A kitchen ticket for a queue that refuses jobs, then is stopped (as CUPS leaves a queue whose
// backend failed): the job stays queued with its line unmarked, each reason is reported once,
// and nothing piles up in CUPS. Enabled again, the queue gets the ticket once.
TEST(SystemPrinterTest, ARefusingOrStoppedQueueKeepsTheJobUntilItTakesTheTicket) {
    if (!CupsIsRunning())
        GTEST_SKIP() << "CUPS is not running here (scripts/start-cups starts it)";
    const TestQueue queue(
        QStringLiteral("VelmoraKitchen%1").arg(QCoreApplication::applicationPid()));
    if (!queue.created())
        GTEST_SKIP() << "lpadmin cannot add a queue here (it needs root)";
    QueueHarness h{QueueHarness::Printing::Spooled, {}, false};
    h.seedRestaurant();
    h.addPrinter(QStringLiteral("Bar"), queue.name()); // the last row of a name wins
    h.db.addBill(302, QStringLiteral("1"), QStringLiteral("5"));
    const qint64 ayran = h.db.addSaleLine(302, QStringLiteral("B1"), 1, 10);
    h.db.queueJob(302, QStringLiteral("0"));

    ASSERT_TRUE(queue.Run("cupsreject"));
    h.tick(2);
    ASSERT_TRUE(queue.Run("cupsaccept") && queue.Run("cupsdisable"));
    h.tick(2);
    // The printer's state once per change, checked again by itself: refusing, then stopped.
    const QString failing = "Yazici calismiyor: Bar -- Yazici kuyrugu ";
    const QStringList states = h.logLines().filter(failing);
    ASSERT_EQ(states.size(), 2);
    EXPECT_TRUE(states[0].startsWith(failing + "is kabul etmiyor: " + queue.name()));
    EXPECT_TRUE(states[1].startsWith(failing + "durdurulmus: " + queue.name()));
    EXPECT_TRUE(h.notices.isEmpty()); // no job failed: it waits for its printer
    EXPECT_EQ(h.flags(ayran), QStringLiteral("0/0/0"));
    EXPECT_EQ(h.queued(), 1);
    EXPECT_TRUE(QueueIsEmpty(queue.name()));

    const QStringList directories = CupsPdfDirectories();
    const QMap<QString, QDateTime> before = PdfFiles(directories);
    ASSERT_TRUE(queue.Run("cupsenable"));
    h.tick(3);
    EXPECT_EQ(h.flags(ayran), QStringLiteral("1/1/0"));
    EXPECT_EQ(h.queued(), 0);
    const QStringList produced = NewPdfs(queue.name(), directories, before);
    EXPECT_EQ(produced.size(), 1);
    for (const QString& pdf : produced)
        QFile::remove(pdf);
    EXPECT_EQ(h.logLines().last(), "Yazici yeniden calisiyor: Bar -- bekleyen 1 fis yazdirildi");
}

} // namespace
