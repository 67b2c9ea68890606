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
#include <sys/stat.h>
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

#ifndef Q_OS_WIN // Windows has no lock file
// The restaurant's folder as the package makes it: only its owner and group create files there.
// Another account runs a copy first and keeps running: it gets no claim, and takes none from
// the server. Only when the tests run as root.
TEST(SingleInstanceTest, AnotherAccountCannotKeepTheServerOut) {
    if (::geteuid() != 0)
        GTEST_SKIP() << "another account needs root";
    QTemporaryDir data;
    ASSERT_TRUE(QFile::setPermissions(data.path(), QFile::ReadOwner | QFile::WriteOwner |
                                                       QFile::ExeOwner | QFile::ReadGroup |
                                                       QFile::WriteGroup | QFile::ExeGroup));
    int ready[2];
    ASSERT_EQ(::pipe(ready), 0);
    const pid_t other = ::fork();
    if (other == 0) {
        char claimed = 'n';
        if (::setgid(65534) == 0 && ::setuid(65534) == 0) {
            static const SingleInstance copy(data.path());
            claimed = copy.unguardedReason().isEmpty() ? 'y' : 'n';
        }
        if (::write(ready[1], &claimed, 1) == 1)
            ::pause();
        ::_exit(0);
    }
    char otherClaimed = 0;
    const bool answered = ::read(ready[0], &otherClaimed, 1) == 1;
    const SingleInstance server(data.path());
    ::kill(other, SIGKILL);
    ::waitpid(other, nullptr, 0);
    ASSERT_TRUE(answered);
    EXPECT_EQ(otherClaimed, 'n');
    EXPECT_FALSE(server.anotherCopyRuns());
    EXPECT_EQ(server.unguardedReason(), QString());
}

// The group that runs the server opens the lock, nobody else, whatever the umask; a folder
// that cannot hold it keeps the copy from running.
TEST(SingleInstanceTest, TheLockIsTheGroupsWhateverTheUmask) {
    for (const mode_t mask : {mode_t(0), mode_t(022), mode_t(077)}) {
        QTemporaryDir data;
        const mode_t saved = ::umask(mask);
        { const SingleInstance copy(data.path()); }
        ::umask(saved);
        struct stat status {};
        ASSERT_EQ(::stat(QFile::encodeName(data.filePath("velmora.lock")).constData(), &status), 0);
        EXPECT_EQ(status.st_mode & 0777, 0640u) << mask;
    }
    const SingleInstance nowhere(QStringLiteral("/nonexistent/velmora"));
    EXPECT_FALSE(nowhere.anotherCopyRuns());
    EXPECT_TRUE(nowhere.unguardedReason().startsWith("/nonexistent/velmora/velmora.lock: "));
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
