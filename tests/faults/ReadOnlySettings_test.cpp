#include "support/ServerDirectory.h"
#include "support/ServerProcess.h"

#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <QStringEncoder>
#include <QTemporaryDir>
#include <QThread>
#include <functional>
#include <gtest/gtest.h>
#include <iostream>

#ifndef Q_OS_WIN
#include <unistd.h>
#endif

namespace {

#ifndef Q_OS_WIN
constexpr uid_t kUnprivileged = 65534;
#endif

const QByteArray CompleteDatabaseIni = "[Database]\r\nServer=KASA-PC\\SQLExpress\r\n"
                                       "Database=KESTROVA_2025\r\nUser=sa\r\nPass=#DEFAULT#\r\n"
                                       "CustomConnStr=Provider=SQLite;Data Source=velmora.db\r\n";
// The default key the start-up has to write and cannot: Server.
const QByteArray IncompleteDatabaseIni =
    "[Database]\r\nCustomConnStr=Provider=SQLite;Data Source=velmora.db\r\n";

QByteArray LocalSettings(bool complete) {
    QStringList lines = FreshLocalSettingsLines();
    lines.replaceInStrings(QStringLiteral("Acilista bekleme suresi=5"),
                           QStringLiteral("Acilista bekleme suresi=0"));
    if (!complete)
        lines.removeAll(QStringLiteral("Verbose mode (DEGISTIRMEYIN)=0"));
    // In the system's 8-bit character set, as the server reads them.
    QStringEncoder encoder(QStringConverter::System);
    return encoder.encode(lines.join(QStringLiteral("\r\n")) + QStringLiteral("\r\n"));
}

struct ReadOnlyCase {
    const char* name;
    bool settingsComplete;
    bool databaseComplete;
};

// Velmora.ini and Database.ini are read-only for the server. Permission bits do not stop root,
// so when the tests run as root the server runs as an unprivileged user that owns its directory
// and database but not the two ini files; otherwise the files are simply made read-only.
class ReadOnlySettingsTest : public ::testing::TestWithParam<ReadOnlyCase> {
protected:
    void SetUp() override {
        executable = InstallServer(QStringLiteral(VELMORA_EXECUTABLE), dir.path());
        ASSERT_FALSE(executable.isEmpty());
        seedOneProductionJob();
        dir.write(QStringLiteral("Velmora.ini"), LocalSettings(GetParam().settingsComplete));
        dir.write(QStringLiteral("Database.ini"),
                  GetParam().databaseComplete ? CompleteDatabaseIni : IncompleteDatabaseIni);
        for (const char* name : {"Velmora.ini", "Database.ini"}) {
            const QString path = dir.filePath(QLatin1String(name));
            iniBefore << dir.read(QLatin1String(name));
            ASSERT_TRUE(QFile::setPermissions(path, QFile::ReadOwner | QFile::ReadGroup |
                                                        QFile::ReadOther));
        }
#ifndef Q_OS_WIN
        if (::geteuid() == 0) {
            ASSERT_NO_FATAL_FAILURE(runUnprivileged());
        }
#endif
    }

    void TearDown() override {
        if (server.state() != QProcess::NotRunning) {
            server.kill();
            server.waitForFinished(5000);
        }
    }

    void seedOneProductionJob() {
        TestDatabase& db = dir.database();
        db.seedKitchen(QStringLiteral("pdf:printers/mutfak"), 1);
        db.addBill(302, QStringLiteral("1"), QStringLiteral("5"));
        db.addSaleLine(302, QStringLiteral("K1"), 2, 20);
        db.queueJob(302, QStringLiteral("0"));
    }

#ifndef Q_OS_WIN
    // Windows refuses to write a read-only file to administrators too; only Linux needs this.
    void runUnprivileged() {
        launcher = QStandardPaths::findExecutable(QStringLiteral("setpriv"));
        if (launcher.isEmpty())
            GTEST_SKIP() << "running as root without setpriv: read-only files cannot be shown";
        for (const QString& path : {dir.path(), dir.database().filePath(), runtime.path()})
            ASSERT_EQ(::chown(QFile::encodeName(path).constData(), kUnprivileged, kUnprivileged),
                      0);
        launcherArguments = {QStringLiteral("--reuid=%1").arg(kUnprivileged),
                             QStringLiteral("--regid=%1").arg(kUnprivileged),
                             QStringLiteral("--clear-groups"), QStringLiteral("--")};
    }
#endif

    void launch() {
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(QStringLiteral("XDG_RUNTIME_DIR"), runtime.path());
        environment.insert(QStringLiteral("HOME"), runtime.path());
        environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
        server.setProcessEnvironment(environment);
        server.setWorkingDirectory(runtime.path());
        server.setReadChannel(QProcess::StandardError);
        if (launcher.isEmpty())
            server.start(executable, {});
        else
            server.start(launcher, launcherArguments + QStringList{executable});
        ASSERT_TRUE(server.waitForStarted(5000));
    }

    static bool waitUntil(const std::function<bool()>& condition, int milliseconds = 15000) {
        QDeadlineTimer deadline(milliseconds);
        while (!condition()) {
            if (deadline.hasExpired())
                return false;
            QThread::msleep(50);
        }
        return true;
    }

    int queued() {
        return dir.database().count(QStringLiteral("A_YazimKuyrugu"));
    }
    int pdfCount() const {
        return QDir(dir.filePath(QStringLiteral("printers/mutfak")))
            .entryList({QStringLiteral("*.pdf")}, QDir::Files)
            .size();
    }
    // The headless server's messages, as far as they have arrived.
    QString errors() {
        server.waitForReadyRead(20);
        return errorText += QString::fromLocal8Bit(server.readAllStandardError());
    }

    bool iniFilesUnchanged() {
        const bool unchanged = dir.read(QStringLiteral("Velmora.ini")) == iniBefore.value(0) &&
                               dir.read(QStringLiteral("Database.ini")) == iniBefore.value(1);
        EXPECT_TRUE(unchanged);
        return unchanged;
    }

    ServerDirectory dir;
    QTemporaryDir runtime;
    QString executable;
    QString launcher;
    QStringList launcherArguments;
    QList<QByteArray> iniBefore;
    QProcess server;
    QString errorText;
};

TEST_P(ReadOnlySettingsTest, StartsOrSaysWhyAndLosesNothing) {
    launch();
    const bool complete = GetParam().settingsComplete && GetParam().databaseComplete;
    if (complete) {
        // Nothing needs writing: the server runs as usual and prints the job.
        ASSERT_TRUE(waitUntil([this] { return queued() == 0; })) << errors().toStdString();
        EXPECT_EQ(pdfCount(), 1);
        EXPECT_EQ(dir.database().count(QStringLiteral("A_AdsSatir"), QStringLiteral("SIP=1")), 1);
        EXPECT_EQ(errors(), QString());
    } else {
        const QString file = GetParam().settingsComplete ? QStringLiteral("Database.ini")
                                                         : QStringLiteral("Velmora.ini");
        ASSERT_TRUE(waitUntil([this] { return errors().contains(QLatin1String("yazilamadi")); }))
            << errors().toStdString();
        EXPECT_TRUE(errors().startsWith(QStringLiteral("Ini dosyasina yazilamadi: ") +
                                        QDir::toNativeSeparators(dir.filePath(file))))
            << errors().toStdString();
        // Alive, idle: the job waits for a start that can read its settings.
        QThread::msleep(1500);
        EXPECT_EQ(server.state(), QProcess::Running);
        EXPECT_EQ(queued(), 1);
        EXPECT_EQ(pdfCount(), 0);
        EXPECT_EQ(dir.database().count(QStringLiteral("A_AdsSatir"), QStringLiteral("SIP=0")), 1);
    }
    iniFilesUnchanged();

    StopServer(server);
    const bool unchanged = iniFilesUnchanged();
    std::cout << "read-only settings (" << GetParam().name << ", "
              << (launcher.isEmpty() ? "file permissions" : "unprivileged user")
              << "): " << (complete ? "started" : "stopped with its message") << ", " << pdfCount()
              << " ticket(s) printed, " << queued() << " job(s) still queued, ini files "
              << (unchanged ? "unchanged" : "changed") << "\n";
}

INSTANTIATE_TEST_SUITE_P(Files, ReadOnlySettingsTest,
                         ::testing::Values(ReadOnlyCase{"BothComplete", true, true},
                                           ReadOnlyCase{"SettingsFileLacksAKey", false, true},
                                           ReadOnlyCase{"DatabaseFileLacksAKey", true, false}),
                         [](const ::testing::TestParamInfo<ReadOnlyCase>& files) {
                             return files.param.name;
                         });

} // namespace
