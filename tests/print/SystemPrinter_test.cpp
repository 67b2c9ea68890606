#include "print/DevicePrinterSource.h"
#include "print/PrintEngine.h"
#include "support/ExternalTool.h"

#include <QDateTime>
#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
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

QSet<QString> PdfFiles(const QStringList& directories) {
    QSet<QString> files;
    for (const QString& directory : directories) {
        for (const QString& name :
             QDir(directory).entryList({QStringLiteral("*.pdf")}, QDir::Files))
            files.insert(QDir(directory).filePath(name));
    }
    return files;
}

bool QueueIsEmpty(const QString& queue) {
    const ToolRun run = RunTool(QStringLiteral("lpstat"), {QStringLiteral("-o"), queue});
    return run.exitCode == 0 && run.output.trimmed().isEmpty();
}

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

    QDeadlineTimer deadline(60000);
    QSet<QString> produced;
    while (!deadline.hasExpired()) {
        if (QueueIsEmpty(queue)) {
            produced = PdfFiles(directories) - before;
            if (!produced.isEmpty())
                break;
        }
        QThread::msleep(200);
    }
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

} // namespace
