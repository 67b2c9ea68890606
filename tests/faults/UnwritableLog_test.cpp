#include "support/QStringPrinter.h"
#include "support/QueueHarness.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <gtest/gtest.h>
#include <iostream>

namespace {

enum class LogFault { Directory, DiskFull };

// Verbose mode, so every step of every job tries to write, and a printer that is not installed,
// so the forced line about it does too.
class UnwritableLogTest : public ::testing::TestWithParam<LogFault> {
protected:
    void SetUp() override {
        const QString path = h.log.filePath();
        if (GetParam() == LogFault::Directory) {
            ASSERT_TRUE(QDir().mkpath(path));
        } else {
            if (!QFileInfo::exists(QStringLiteral("/dev/full")))
                GTEST_SKIP() << "no /dev/full on this system";
            ASSERT_TRUE(QFile::link(QStringLiteral("/dev/full"), path));
        }
        // The fault is real: nothing written there can land.
        QFile probe(path);
        EXPECT_FALSE(probe.open(QIODevice::WriteOnly | QIODevice::Append) &&
                     probe.write("x\r\n") == 3 && probe.flush());
        h.seedRestaurant();
    }

    QueueHarness h{QueueHarness::Printing::Rendered,
                   {QStringLiteral("MUTFAK-1"), QStringLiteral("BAR-1")}};
};

TEST_P(UnwritableLogTest, PrintingGoesOn) {
    h.db.addBill(302, QStringLiteral("1"), QStringLiteral("5"));
    h.db.addSaleLine(302, QStringLiteral("K1"), 2, 20, QStringLiteral("Az pişmiş"));
    h.db.addSaleLine(302, QStringLiteral("B1"), 1, 5);
    h.db.queueJob(302, QStringLiteral("0"));
    h.db.addReturnLine(302, QStringLiteral("B1"), 1, 5);
    h.db.queueJob(302, QStringLiteral("2"));
    h.db.queueJob(302, QStringLiteral("1"));
    const int jobs = h.queued();
    h.tick(3);

    const int done = jobs - h.queued();
    EXPECT_EQ(done, jobs);
    EXPECT_TRUE(h.notices.isEmpty()) << h.notices.join(QLatin1Char('\n')).toStdString();
    const int unsent = h.db.count(QStringLiteral("A_AdsSatir"), QStringLiteral("YAZ=0")) +
                       h.db.count(QStringLiteral("A_AdsIade"), QStringLiteral("YAZ=0"));
    EXPECT_EQ(unsent, 0);
    const QList<Ticket> kitchen = h.rendered.TicketsFor(QStringLiteral("MUTFAK-1"));
    const QList<Ticket> bar = h.rendered.TicketsFor(QStringLiteral("BAR-1"));
    ASSERT_EQ(kitchen.size(), 1);
    ASSERT_EQ(bar.size(), 2);
    EXPECT_TRUE(kitchen[0].contains(QStringLiteral("%+2   Köfte")));
    EXPECT_TRUE(bar[0].contains(QStringLiteral("%+1   Ayran")));
    EXPECT_EQ(bar[1].first(), QStringLiteral("#!!!! IPTAL !!!"));
    EXPECT_EQ(h.builtBills, QStringList{"1:302"});
    const QFileInfo log(h.log.filePath());
    EXPECT_TRUE(GetParam() == LogFault::Directory ? log.isDir() : log.isSymLink());
    std::cout << "unwritable log ("
              << (GetParam() == LogFault::Directory ? "directory" : "disk full") << "): " << done
              << " of " << jobs << " jobs done, " << kitchen.size() + bar.size()
              << " kitchen tickets, " << unsent << " lines unsent\n";
}

INSTANTIATE_TEST_SUITE_P(Faults, UnwritableLogTest,
                         ::testing::Values(LogFault::Directory, LogFault::DiskFull),
                         [](const ::testing::TestParamInfo<LogFault>& fault) {
                             return fault.param == LogFault::Directory ? "LogPathIsADirectory"
                                                                       : "DiskFull";
                         });

} // namespace
