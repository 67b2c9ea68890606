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
#include <iostream>

#ifndef Q_OS_WIN // signals kill and freeze the servers
namespace {

enum class Disruption { None, Kill, Freeze, FreezeWhilePrinting, KillAndRestart };

struct StandbyCase {
    const char* name;
    bool throughOdbc;
    Disruption disruption;
};

bool WaitUntil(const std::function<bool()>& condition, int milliseconds) {
    QDeadlineTimer deadline(milliseconds);
    while (!condition() && !deadline.hasExpired())
        QThread::msleep(50);
    return condition();
}

// Two real servers in two folders on one database: exactly one prints, and when it dies or
// freezes the other takes over by itself, each order on paper exactly once.
class StandbyTest : public ::testing::TestWithParam<StandbyCase> {
protected:
    void SetUp() override {
        db.exec("INSERT INTO A_Yazicilar VALUES ('Mutfak', 'pdf:printers')");
        db.exec("INSERT INTO AYAR VALUES ('POS', 'Sistem', 'Server calisma araligi (x snde bir)', "
                "'1')");
        db.addProduct("K1", "Köfte", "Mutfak");
        const QByteArray settings = FreshLocalSettingsLines()
                                        .replaceInStrings("bekleme suresi=5", "bekleme suresi=0")
                                        .join("\r\n")
                                        .toLocal8Bit();
        const QByteArray connection =
            (GetParam().throughOdbc ? "[Database]\r\nCustomConnStr=Driver=SQLite3;Database="
                                    : "[Database]\r\nCustomConnStr=Provider=SQLite;Data Source=") +
            QFile::encodeName(db.filePath());
        environment.insert("XDG_RUNTIME_DIR", runtime.path());
        environment.insert("QT_QPA_PLATFORM", "offscreen");
        for (ServerDirectory& dir : dirs) {
            executables << InstallServer(VELMORA_EXECUTABLE, dir.path());
            dir.write("Velmora.ini", settings);
            dir.write("Database.ini", connection);
        }
    }

    void start(int index) {
        servers[index].setProcessEnvironment(environment);
        servers[index].start(executables.value(index), {});
        ASSERT_TRUE(servers[index].waitForStarted(5000));
    }

    void queueOrders(int count) {
        for (int i = 0; i < count; ++i) {
            const qint64 bill = 300 + ++orders;
            db.addBill(bill, "1", "5");
            db.addSaleLine(bill, "K1", 1, 10);
            db.queueJob(bill, "0");
        }
    }

    // The server whose folder the lease names, or -1.
    int active() {
        if (db.count("sqlite_master", "name='VelmoraSunucu'") == 0)
            return -1;
        const QFileInfo folder(db.scalar("SELECT Klasor FROM VelmoraSunucu").toString());
        return folder == QFileInfo(dirs[0].path())   ? 0
               : folder == QFileInfo(dirs[1].path()) ? 1
                                                     : -1;
    }
    qint64 epoch() { return db.scalar("SELECT Donem FROM VelmoraSunucu").toLongLong(); }
    int printed() const {
        int tickets = 0;
        for (const ServerDirectory& dir : dirs)
            tickets += QDir(dir.filePath("printers")).entryList({"*.pdf"}, QDir::Files).size();
        return tickets;
    }
    bool allDone() { return db.count("A_YazimKuyrugu") + db.count("A_AdsSatir", "YAZ=0") == 0; }
    bool logs(int index, const char* text) const {
        return dirs[index].read("velmora.log").contains(text);
    }

    ServerDirectory dirs[2];
    TestDatabase& db = dirs[0].database();
    QTemporaryDir runtime;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    QStringList executables;
    QProcess servers[2]; // killed, frozen or not, when the test ends
    int orders = 0;
};

TEST_P(StandbyTest, OneServerPrintsAndAnotherTakesOverWithinTenSeconds) {
    start(0);
    start(1);
    ASSERT_TRUE(WaitUntil([this] { return active() >= 0; }, 10000));
    const int first = active();
    const int other = 1 - first;
    ASSERT_TRUE(WaitUntil([&] { return logs(other, "Yedek sunucu -- etkin: "); }, 10000));
    queueOrders(3);
    ASSERT_TRUE(WaitUntil([this] { return allDone(); }, 20000));

    const Disruption disruption = GetParam().disruption;
    const bool frozen =
        disruption == Disruption::Freeze || disruption == Disruption::FreezeWhilePrinting;
    if (disruption == Disruption::FreezeWhilePrinting) {
        queueOrders(3); // frozen after its first ticket, before it marks the lines
        ASSERT_TRUE(WaitUntil([this] { return printed() > 3; }, 10000));
    }
    const auto pid = static_cast<pid_t>(servers[first].processId());
    const qint64 epochBefore = epoch();
    QElapsedTimer sinceDisruption;
    sinceDisruption.start();
    if (frozen)
        ::kill(pid, SIGSTOP);
    else if (disruption != Disruption::None)
        ::kill(pid, SIGKILL), servers[first].waitForFinished(5000);
    if (disruption != Disruption::FreezeWhilePrinting)
        queueOrders(3); // for the new active server, or for the frozen one once it resumes
    qint64 takeover = 0;
    if (disruption != Disruption::None) {
        ASSERT_TRUE(WaitUntil([&] { return epoch() > epochBefore; }, 15000));
        takeover = sinceDisruption.elapsed();
        EXPECT_LT(takeover, 10000);
        EXPECT_EQ(active(), other);
        EXPECT_TRUE(logs(other, " son yenilemesinden "));
    }
    // Back while the other prints: the resumed or restarted one must stand by.
    if (frozen)
        ::kill(pid, SIGCONT);
    if (disruption == Disruption::KillAndRestart) {
        dirs[first].write("velmora.log", {});
        start(first);
    }
    if (frozen || disruption == Disruption::KillAndRestart) {
        ASSERT_TRUE(WaitUntil([&] { return logs(first, "Yedek sunucu -- etkin: "); }, 10000));
    }
    queueOrders(2);
    ASSERT_TRUE(WaitUntil([this] { return allDone(); }, 30000)) << printed() << " of " << orders;
    QThread::msleep(1500); // a ticket printed twice would show by now
    // The ticket in hand when it froze, when it had not marked its lines, prints again.
    EXPECT_GE(printed(), orders);
    EXPECT_LE(printed(), orders + (disruption == Disruption::FreezeWhilePrinting ? 1 : 0));
    EXPECT_EQ(active(), disruption == Disruption::None ? first : other);
    std::cout << "standby (" << GetParam().name << "): " << orders << " orders, " << printed()
              << " tickets, takeover after " << takeover << " ms\n";
}

INSTANTIATE_TEST_SUITE_P(
    TwoServers, StandbyTest,
    ::testing::Values(StandbyCase{"StartedTogether", false, Disruption::None},
                      StandbyCase{"ActiveKilled", false, Disruption::Kill},
                      StandbyCase{"ActiveFrozen", false, Disruption::Freeze},
                      StandbyCase{"ActiveFrozenWhilePrinting", false,
                                  Disruption::FreezeWhilePrinting},
                      StandbyCase{"KilledOneStartedAgain", false, Disruption::KillAndRestart},
                      StandbyCase{"ActiveFrozenThroughOdbc", true, Disruption::Freeze}),
    [](const ::testing::TestParamInfo<StandbyCase>& standby) { return standby.param.name; });

} // namespace
#endif
