#include "print/DevicePrinterSource.h"
#include "print/PrintEngine.h"
#include "support/ExternalTool.h"
#include "support/QueueHarness.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QSet>
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

// Each file with its time of change, as "path<TAB>time": cups-pdf names a document after its
// title, so an untitled one replaces the last one's file.
QSet<QString> PdfFiles(const QStringList& directories) {
    QSet<QString> files;
    for (const QString& directory : directories) {
        for (const QFileInfo& file :
             QDir(directory).entryInfoList({QStringLiteral("*.pdf")}, QDir::Files)) {
            files.insert(file.filePath() + QLatin1Char('\t') +
                         QString::number(file.lastModified().toMSecsSinceEpoch()));
        }
    }
    return files;
}

bool QueueIsEmpty(const QString& queue) {
    const ToolRun run = RunTool(QStringLiteral("lpstat"), {QStringLiteral("-o"), queue});
    return run.exitCode == 0 && run.output.trimmed().isEmpty();
}

// The PDFs cups-pdf wrote since before, once the queue has no job left; empty after a minute.
QSet<QString> NewPdfs(const QString& queue, const QStringList& directories,
                      const QSet<QString>& before) {
    QDeadlineTimer deadline(60000);
    while (!deadline.hasExpired()) {
        if (QueueIsEmpty(queue)) {
            QSet<QString> produced;
            for (const QString& file : PdfFiles(directories) - before)
                produced.insert(file.section(QLatin1Char('\t'), 0, 0));
            if (!produced.isEmpty())
                return produced;
        }
        QThread::msleep(200);
    }
    return {};
}

// A cups-pdf queue of the test's own (lpadmin needs root), removed with its jobs at the end.
class TestQueue {
public:
    explicit TestQueue(const QString& name)
        : m_name(name)
        , m_created(Run("lpadmin", {"-p", name, "-E", "-v", "cups-pdf:/", "-m",
                                    "lsb/usr/cups-pdf/CUPS-PDF_noopt.ppd"})) {}
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
    const QString queue = QueueName();
    QTemporaryDir dir;
    DevicePrinterSource source(dir.path());
    ASSERT_TRUE(source.InstalledPrinters().contains(queue))
        << "queue " << queue.toStdString() << " is missing; run scripts/start-cups";

    const QStringList directories = CupsPdfDirectories();
    const QSet<QString> before = PdfFiles(directories);

    const QString billNumber;
    DiagnosticLog log(dir.filePath(QStringLiteral("Velmora.log")));
    PrintSettings settings;
    settings.top = 1000000; // the first line falls off the first page: two pages in all
    PrintEngine engine(billNumber, settings, log, source, [](int) {});
    engine.PrintTicket(queue.toLower(), {QStringLiteral("SATIR BIR"), QStringLiteral("SATIR IKI"),
                                         QStringLiteral("SATIR UC")});

    const QSet<QString> produced = NewPdfs(queue, directories, before);
    ASSERT_EQ(produced.size(), 1) << "no PDF from CUPS in " << directories.join(", ").toStdString();
    const QString pdf = *produced.begin();

    const ToolRun info = RunTool(QStringLiteral("pdfinfo"), {pdf});
    EXPECT_TRUE(info.output.contains(QRegularExpression(QStringLiteral("Pages:\\s+2\\n"))))
        << info.output.toStdString();
    // The spooler's PDF keeps no text map, but the lines are there: none on the first page,
    // the two after the break on the second.
    EXPECT_EQ(TextLinesOnPage(pdf, 1), 0);
    EXPECT_EQ(TextLinesOnPage(pdf, 2), 2);
    QFile::remove(pdf);
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
    const QString failed = "Is yazdirilamadi -- ID:1 FisID:302 Tur:0 Hata: Yazici kuyrugu ";
    ASSERT_EQ(h.notices.size(), 2); // each reason once
    EXPECT_TRUE(h.notices[0].startsWith(failed + "is kabul etmiyor: " + queue.name()));
    EXPECT_TRUE(h.notices[1].startsWith(failed + "durdurulmus: " + queue.name()));
    EXPECT_EQ(h.flags(ayran), QStringLiteral("0/0/0"));
    EXPECT_EQ(h.queued(), 1);
    EXPECT_TRUE(QueueIsEmpty(queue.name()));

    const QStringList directories = CupsPdfDirectories();
    const QSet<QString> before = PdfFiles(directories);
    ASSERT_TRUE(queue.Run("cupsenable"));
    h.tick();
    EXPECT_EQ(h.flags(ayran), QStringLiteral("1/1/0"));
    EXPECT_EQ(h.queued(), 0);
    const QSet<QString> produced = NewPdfs(queue.name(), directories, before);
    EXPECT_EQ(produced.size(), 1);
    for (const QString& pdf : produced)
        QFile::remove(pdf);
    // Beside the failures, the printer's state once per change: refusing, stopped, printing.
    EXPECT_EQ(h.logLines().filter("Is yazdirilamadi"), h.notices);
    EXPECT_EQ(h.logLines().filter("Yazici calismiyor: Bar -- Yazici kuyrugu").size(), 2);
}

} // namespace
