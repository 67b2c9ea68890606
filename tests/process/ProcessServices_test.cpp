#include "log/DiagnosticLog.h"
#include "process/HeadlessMessages.h"
#include "process/ProcessSignals.h"
#include "process/SingleInstance.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QFile>
#include <QTemporaryDir>
#include <csignal>
#include <gtest/gtest.h>
#include <memory>
#include <sstream>
#ifndef Q_OS_WIN
#include <sys/wait.h>
#include <unistd.h>
#endif

namespace {

// On Windows the claim is the session's semaphore "VELMORA", whatever the directory.
TEST(SingleInstanceTest, TakenUntilTheFirstCopyEnds) {
    QTemporaryDir runtime;
    auto first = std::make_unique<SingleInstance>(runtime.path());
    EXPECT_FALSE(first->anotherCopyRuns());
    EXPECT_TRUE(SingleInstance(runtime.path()).anotherCopyRuns());
    first.reset();
    EXPECT_FALSE(SingleInstance(runtime.path()).anotherCopyRuns());
}

#ifndef Q_OS_WIN // Windows has no lock directory
// Whether a copy started by an account that did not make the installation folder is refused;
// tested in a child process under "nobody", so only when the tests run as root.
bool refusedForAnotherAccount(const QString& lockDirectory) {
    const pid_t child = ::fork();
    if (child == 0) {
        if (::setgid(65534) != 0 || ::setuid(65534) != 0)
            ::_exit(2);
        ::_exit(SingleInstance(lockDirectory).anotherCopyRuns() ? 1 : 0);
    }
    int status = 0;
    ::waitpid(child, &status, 0);
    return WIFEXITED(status) && WEXITSTATUS(status) == 1;
}

// A folder that cannot hold the lock, and a lock file a desktop user's umask left at 0600: the
// lock every user can open still keeps the second copy out.
TEST(SingleInstanceTest, AnUnusableLockFileStillRefusesASecondCopy) {
    QTemporaryDir unreadable;
    ASSERT_TRUE(QFile(unreadable.filePath("velmora.lock")).open(QIODevice::WriteOnly));
    ASSERT_TRUE(QFile::setPermissions(unreadable.filePath("velmora.lock"),
                                      QFile::ReadOwner | QFile::WriteOwner));
    ASSERT_TRUE(QFile::setPermissions(unreadable.path(), QFile::ReadOwner | QFile::WriteOwner |
                                                             QFile::ExeOwner | QFile::ReadOther |
                                                             QFile::ExeOther));
    for (const QString& directory :
         {QStringLiteral("/nonexistent/velmora-runtime"), unreadable.path()}) {
        SCOPED_TRACE(directory.toStdString());
        const SingleInstance first(directory);
        EXPECT_FALSE(first.anotherCopyRuns());
        EXPECT_TRUE(first.unguardedReason().isEmpty());
        if (directory.startsWith(QLatin1String("/nonexistent"))) {
            EXPECT_TRUE(SingleInstance(directory).anotherCopyRuns());
        } else if (::geteuid() == 0) {
            EXPECT_TRUE(refusedForAnotherAccount(directory));
        }
    }
}
#endif

TEST(HeadlessMessagesTest, MessagesGoToTheLogAndStandardError) {
    QTemporaryDir dir;
    const QString logPath = dir.filePath(QStringLiteral("velmora.log"));
    std::ostringstream errors;
    DiagnosticLog serverLog(logPath);
    HeadlessMessages messages(serverLog, errors);

    messages.ShowMessage(QStringLiteral("Hata, Veritabanina baglanilamadi.\r\nyok"));
    EXPECT_FALSE(messages.AskQuestion(QStringLiteral("Kapatilsin mi?")));

    EXPECT_EQ(errors.str(), "Hata, Veritabanina baglanilamadi.\nyok\n"
                            "Kapatilsin mi? (cevap: Hayir)\n");
    QFile log(logPath);
    ASSERT_TRUE(log.open(QIODevice::ReadOnly));
    const QByteArray text = log.readAll();
    EXPECT_TRUE(text.contains("-Hata, Veritabanina baglanilamadi.\r\nyok\r\n"));
    EXPECT_TRUE(text.contains("-Kapatilsin mi? (cevap: Hayir)\r\n"));
}

#ifndef Q_OS_WIN // a Windows server ends through its close question and the session end
// Waits on the event loop for the number of requests; false on timeout.
bool waitForRequests(const int& requests, int expected) {
    QDeadlineTimer deadline(5000);
    while (requests < expected && !deadline.hasExpired())
        QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
    return requests == expected;
}

TEST(ProcessSignalsTest, SignalsArriveOnTheEventLoop) {
    int requests = 0;
    int retries = 0;
    {
        ProcessSignals signals_;
        QObject::connect(&signals_, &ProcessSignals::terminationRequested, [&] { ++requests; });
        QObject::connect(&signals_, &ProcessSignals::retryRequested, [&] { ++retries; });
        std::raise(SIGTERM);
        EXPECT_EQ(requests, 0); // not from inside the handler
        EXPECT_TRUE(waitForRequests(requests, 1));
        std::raise(SIGINT);
        EXPECT_TRUE(waitForRequests(requests, 2));
        std::raise(SIGHUP);
        EXPECT_TRUE(waitForRequests(retries, 1));
        EXPECT_EQ(requests, 2);
    }
    struct sigaction restored = {};
    sigaction(SIGHUP, nullptr, &restored);
    EXPECT_EQ(restored.sa_handler, SIG_DFL);
}
#endif

} // namespace
