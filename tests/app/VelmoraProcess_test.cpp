#include "support/ServerDirectory.h"
#include "support/ServerProcess.h"

#include <QDeadlineTimer>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>
#include <QThread>
#include <functional>
#include <gtest/gtest.h>
#include <memory>
#ifndef Q_OS_WIN
#include <sys/stat.h>
#endif

namespace {

const QString LastKeyWritten = QStringLiteral("Hesap fislerinde doviz kurlarini yaz=0");

// The real server binary, installed as the setup and the package install it: in a folder of
// its own, whose Kurulum.ini names the restaurant's folder, which holds its files and its
// single-instance lock.
class VelmoraProcessTest : public ::testing::Test {
protected:
    void SetUp() override {
        executable = InstallServer(QStringLiteral(VELMORA_EXECUTABLE), programFolder.path());
        ASSERT_FALSE(executable.isEmpty());
        QFile installation(programFolder.filePath(QStringLiteral("Kurulum.ini")));
        ASSERT_TRUE(installation.open(QIODevice::WriteOnly));
        installation.write("[Kurulum]\r\nVeri klasoru=" +
                           QDir::toNativeSeparators(dir.path()).toLocal8Bit() + "\r\n");
        installation.close();
        environment = QProcessEnvironment::systemEnvironment();
        environment.insert(QStringLiteral("XDG_RUNTIME_DIR"), runtime.path());
        environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    }

    void TearDown() override {
        for (auto& process : processes) {
            if (process->state() != QProcess::NotRunning) {
                process->kill();
                process->waitForFinished(5000);
            }
        }
    }

    QProcess& launch(const QProcessEnvironment& env, const QString& program = QString(),
                     const QStringList& arguments = {}) {
        processes.push_back(std::make_unique<QProcess>());
        QProcess& process = *processes.back();
        process.setProcessEnvironment(env);
        process.setWorkingDirectory(runtime.path()); // its files are found beside it
        process.start(program.isEmpty() ? executable : program, arguments);
        EXPECT_TRUE(process.waitForStarted(5000));
        return process;
    }
    QProcess& launch() { return launch(environment); }

    static bool waitUntil(const std::function<bool()>& condition) {
        QDeadlineTimer deadline(15000);
        while (!condition()) {
            if (deadline.hasExpired())
                return false;
            QThread::msleep(50);
        }
        return true;
    }
    bool startupDone() { return dir.lines(QStringLiteral("Velmora.ini")).contains(LastKeyWritten); }
    int pollRows() {
        return dir.database().count(
            QStringLiteral("AYAR"),
            QStringLiteral("Modul='POS' AND Bolum='Sistem' AND "
                           "Ayar='Server calisma araligi (x snde bir)' AND Deger='2'"));
    }
    ServerDirectory dir;
    QTemporaryDir programFolder;
    QTemporaryDir runtime;
    QString executable;
    QProcessEnvironment environment;
    std::vector<std::unique_ptr<QProcess>> processes;
};

TEST_F(VelmoraProcessTest, HeadlessStartWritesEverySettingAndStopsOnSigterm) {
#ifndef Q_OS_WIN
    // A desktop session's umask, which lets every account read what it creates.
    const mode_t sessionMask = ::umask(022);
    QProcess& server = launch();
    ::umask(sessionMask);
#else
    QProcess& server = launch();
#endif
    ASSERT_TRUE(waitUntil([this] { return startupDone(); }));
#ifndef Q_OS_WIN // the service's reload is a signal
    // The service's reload retries the set-aside jobs and leaves the server running.
    ::kill(static_cast<pid_t>(server.processId()), SIGHUP);
    ASSERT_TRUE(waitUntil([this] {
        return dir.read(QStringLiteral("velmora.log")).contains("Bekleyen isler yeniden deneniyor");
    }));
    EXPECT_EQ(server.state(), QProcess::Running);
#endif

    StopServer(server, SIGTERM);
    EXPECT_EQ(server.readAllStandardError(), QByteArray());
    EXPECT_EQ(dir.lines(QStringLiteral("Velmora.ini")), FreshLocalSettingsLines());
#ifdef Q_OS_WIN
    // The Turkish Windows of the tests writes its ini files in code page 1254.
    EXPECT_TRUE(dir.read(QStringLiteral("Velmora.ini"))
                    .contains("\xC7\xFDkt\xFD"
                              "da cari ad\xFD ve bakiyesini yaz=0\r\n"));
#endif
    const QStringList database = dir.lines(QStringLiteral("Database.ini"));
    for (const char* key : {"Server=", "Database=KESTROVA_2025", "User=sa", "Pass=#DEFAULT#"})
        EXPECT_EQ(database.filter(QLatin1String(key)).size(), 1) << key;
    EXPECT_EQ(pollRows(), 1);
    // Nothing beside the program; no other account reads what the server made.
    EXPECT_EQ(QDir(programFolder.path()).entryList(QDir::Files),
              QStringList({QStringLiteral("Kurulum.ini"), QFileInfo(executable).fileName()}));
#ifndef Q_OS_WIN
    const struct {
        const char* file;
        mode_t mode;
    } made[] = {{"Velmora.ini", 0660}, {"velmora.log", 0660}, {"velmora.lock", 0640}};
    for (const auto& m : made) {
        struct stat status {};
        ASSERT_EQ(
            ::stat(QFile::encodeName(dir.filePath(QLatin1String(m.file))).constData(), &status), 0)
            << m.file;
        EXPECT_EQ(status.st_mode & 0777, m.mode) << m.file;
    }
#endif
}

TEST_F(VelmoraProcessTest, SecondCopyEndsAtOnceAndAKilledCopyBlocksNothing) {
    // The first copy is given no platform and no display: it must choose to run headless.
    QProcessEnvironment noDisplay = environment;
    for (const char* name : {"QT_QPA_PLATFORM", "DISPLAY", "WAYLAND_DISPLAY"})
        noDisplay.remove(QLatin1String(name));
    QProcess& first = launch(noDisplay);
    ASSERT_TRUE(waitUntil([this] { return startupDone(); }));

    // A second copy of the same installation, as a desktop session beside the service starts it:
    // another user's runtime directory changes nothing.
    QTemporaryDir otherRuntime;
    QProcessEnvironment otherSession = environment;
    otherSession.insert(QStringLiteral("XDG_RUNTIME_DIR"), otherRuntime.path());
    QElapsedTimer clock;
    clock.start();
    QProcess& second = launch(otherSession);
    ASSERT_TRUE(second.waitForFinished(10000));
    EXPECT_LT(clock.elapsed(), 5000);
    EXPECT_EQ(second.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(second.exitCode(), 1); // a service manager starts it again later
    EXPECT_TRUE(second.readAllStandardError().startsWith("Velmora zaten calisiyor"));
    EXPECT_TRUE(dir.read(QStringLiteral("velmora.log")).contains("Velmora zaten calisiyor"));
    EXPECT_EQ(first.state(), QProcess::Running);
#ifndef Q_OS_WIN // the semaphore "VELMORA" is one per machine, whatever the installation
    // Another installation is another server, with its own files and queue.
    ServerDirectory otherDir;
    const QString otherServer = InstallServer(QStringLiteral(VELMORA_EXECUTABLE), otherDir.path());
    ASSERT_FALSE(otherServer.isEmpty());
    QProcess& other = launch(environment, otherServer);
    ASSERT_TRUE(waitUntil(
        [&] { return otherDir.lines(QStringLiteral("Velmora.ini")).contains(LastKeyWritten); }));
    StopServer(other, SIGTERM);
#endif

    first.kill(); // SIGKILL: nothing of the process gets to clean up
    ASSERT_TRUE(first.waitForFinished(5000));
    dir.database().exec(QStringLiteral("DELETE FROM AYAR"));

    // A new copy gets through the whole start-up: it inserts the poll row again.
    QProcess& third = launch();
    ASSERT_TRUE(waitUntil([this] { return pollRows() == 1; }));
    EXPECT_EQ(third.state(), QProcess::Running);
    StopServer(third, SIGINT);
}

TEST_F(VelmoraProcessTest, KapatClosesTheRunningCopyAndWaitsForItsEnd) {
    // Whether a copy runs, and the exit code the setup program tells apart.
    const struct {
        bool running;
        int exitCode;
    } cases[] = {{false, 1}, {true, 0}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.running);
        QProcess* server = c.running ? &launch() : nullptr;
        if (server) {
            ASSERT_TRUE(waitUntil([this] { return startupDone(); }));
        }
        QProcess& request = launch(environment, executable, {QStringLiteral("--kapat")});
        ASSERT_TRUE(request.waitForFinished(40000));
        EXPECT_EQ(request.exitCode(), c.exitCode);
        // Never a server of its own; a running one has ended by the time the answer comes.
        EXPECT_EQ(startupDone(), c.running);
        if (server) {
            ASSERT_TRUE(server->waitForFinished(2000));
            EXPECT_EQ(server->exitCode(), 0);
            EXPECT_TRUE(dir.read(QStringLiteral("velmora.log")).contains("Kapatma istegi alindi"));
        }
    }
}

} // namespace
