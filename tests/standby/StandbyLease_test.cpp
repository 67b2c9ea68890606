#include "core/Error.h"
#include "standby/StandbyLease.h"

#include <QStringList>
#include <functional>
#include <gtest/gtest.h>

namespace {

const ServerIdentity kSelf{"KASA", "C:/Velmora"};
const ServerIdentity kOther{"BAR", "D:/Velmora"};

// The lease's table as a database keeps it, with the faults a row gives it.
struct FakeStore : LeaseStore {
    bool table = false, canCreate = true, answers = true;
    QString failing; // what every statement on the row fails with
    std::optional<LeaseRow> row;

    void Prepare() override {
        if (!table && !canCreate)
            throw DatabaseError("CREATE TABLE izni yok");
        table = true;
    }
    std::optional<LeaseRow> Read() override { return Require(), row; }
    void InsertRow() override {
        if (Require(), !row)
            row = LeaseRow{};
    }
    void Take(const ServerIdentity& self, const LeaseRow& seen) override {
        if (Require(), row == seen)
            row = LeaseRow{self, seen.epoch + 1, 0, {}};
    }
    void Renew(const ServerIdentity& self, qint64 epoch) override {
        if (Require(), row && row->holder == self && row->epoch == epoch)
            ++row->renewals;
    }
    void Release(const ServerIdentity&, qint64) override {}
    bool Answers() override { return answers; }
    void Reconnect() override {}
    void Require() const {
        if (!table)
            throw DatabaseError("no such table: VelmoraSunucu");
        if (!failing.isEmpty())
            throw DatabaseError(failing);
    }
};

// One server's lease on a clock the test moves, checked every two seconds as the thread does.
struct Lease {
    FakeStore store;
    LeaseGrant grant;
    qint64 now = 1000000;
    QString text;
    QStringList logLines;
    StandbyLease lease{store, kSelf, grant,
                       [this](const LeaseReport& report) {
                           text = report.text;
                           if (!report.logLine.isEmpty())
                               logLines << report.logLine;
                       },
                       [this] {
                           return now;
                       }};

    // The other server, when it holds the lease and is told to, renews before each check.
    void Run(int milliseconds, bool otherRenews = false) {
        for (int passed = 0; passed < milliseconds; passed += StandbyLease::kCheckMilliseconds) {
            now += StandbyLease::kCheckMilliseconds;
            if (otherRenews && store.row && store.row->holder == kOther)
                ++store.row->renewals;
            lease.Refresh();
        }
    }
    ServerRole role() const { return grant.current().role; }
    bool trusted() const { return Trusted(grant.current(), now); }
};

struct Row {
    const char* name;
    std::function<void(Lease&)> run;
};

void PrintTo(const Row& row, std::ostream* out) {
    *out << row.name;
}

class StandbyLeaseTest : public ::testing::TestWithParam<Row> {};

TEST_P(StandbyLeaseTest, DecidesOnItsOwnClockAndSaysSoOnce) {
    Lease t;
    GetParam().run(t);
}

INSTANTIATE_TEST_SUITE_P(
    Lease, StandbyLeaseTest,
    ::testing::Values(
        Row{"FreeLeaseTakenAtOnceWithoutALogLine",
            [](Lease& s) {
                s.lease.Start();
                s.Run(60000);
                EXPECT_EQ(s.role(), ServerRole::Active);
                EXPECT_TRUE(s.trusted());
                EXPECT_EQ(s.store.row->renewals, 30);
                EXPECT_EQ(s.text, "Etkin sunucu");
                EXPECT_TRUE(s.logLines.isEmpty());
            }},
        Row{"OwnLeaseFromBeforeARestartTakenAtOnce",
            [](Lease& s) {
                s.store.table = true;
                s.store.row = LeaseRow{kSelf, 3, 9, {}};
                s.lease.Start();
                EXPECT_EQ(s.grant.current().epoch, 4);
                EXPECT_TRUE(s.trusted() && s.logLines.isEmpty());
            }},
        Row{"RenewedLeaseOfAnotherNeverTaken",
            [](Lease& s) {
                s.store.row = LeaseRow{kOther, 2, 0, {}};
                s.lease.Start();
                s.Run(60000, true);
                EXPECT_EQ(s.role(), ServerRole::Standby);
                EXPECT_EQ(s.logLines, QStringList{"Yedek sunucu -- etkin: BAR (D:/Velmora)"});
            }},
        Row{"UnchangedLeaseTakenAfterSixSeconds",
            [](Lease& s) {
                s.store.row = LeaseRow{kOther, 2, 7, {}};
                s.lease.Start();
                s.Run(4000);
                EXPECT_EQ(s.role(), ServerRole::Standby);
                s.Run(2000);
                EXPECT_EQ(s.grant.current().epoch, 3);
                EXPECT_TRUE(s.trusted());
                EXPECT_EQ(s.logLines.last(), "Etkin sunucu -- devralindi: BAR (D:/Velmora) son "
                                             "yenilemesinden en az 6 sn sonra");
            }},
        Row{"LostToAnotherServer",
            [](Lease& s) {
                s.lease.Start();
                s.store.row = LeaseRow{kOther, 2, 0, {}};
                s.Run(2000);
                EXPECT_EQ(s.role(), ServerRole::Standby);
                EXPECT_FALSE(s.trusted());
            }},
        Row{"MissingRowAndTableMadeAgain",
            [](Lease& s) {
                s.lease.Start();
                s.store.row.reset();
                s.Run(2000);
                EXPECT_TRUE(s.trusted());
                s.store.table = false, s.store.row.reset();
                s.Run(2000); // the table comes back, the row at the next check
                EXPECT_EQ(s.logLines, QStringList{"Sunucu kirasi denetlenemedi -- Hata: no "
                                                  "such table: VelmoraSunucu"});
                s.Run(2000);
                EXPECT_EQ(s.store.row->holder, kSelf);
                EXPECT_TRUE(s.trusted());
            }},
        Row{"TableThatCannotBeMadePrintsAloneAndTriesEveryMinute",
            [](Lease& s) {
                s.store.canCreate = false;
                s.lease.Start();
                s.Run(58000);
                EXPECT_EQ(s.role(), ServerRole::Alone);
                EXPECT_EQ(s.logLines,
                          QStringList{"Yedek sunucu kullanilamiyor: CREATE TABLE izni yok"});
                EXPECT_EQ(s.text, s.logLines.first());
                s.store.canCreate = true;
                s.Run(2000);
                EXPECT_EQ(s.role(), ServerRole::Active);
            }},
        Row{"FailingRenewalsStopPrintingWithinTheBudgetThenPrintAlone",
            [](Lease& s) {
                s.lease.Start();
                s.store.failing = "Lock request time out period exceeded";
                s.Run(2000);
                EXPECT_TRUE(s.trusted());
                s.Run(2000);
                EXPECT_FALSE(s.trusted());
                EXPECT_EQ(s.role(), ServerRole::Active);
                s.Run(58000);
                EXPECT_EQ(s.role(), ServerRole::Alone);
                EXPECT_EQ(s.logLines.size(), 2) << s.logLines.join('\n').toStdString();
            }},
        Row{"DatabaseOutOfReachIsNoFaultOfTheLease",
            [](Lease& s) {
                s.lease.Start();
                s.store.answers = false;
                s.store.failing = "Baglanti yok";
                s.Run(120000);
                EXPECT_EQ(s.role(), ServerRole::Active);
                EXPECT_FALSE(s.trusted());
                EXPECT_EQ(s.logLines, QStringList{"Sunucu kirasi denetlenemedi -- Hata: "
                                                  "Baglanti yok"});
            }}),
    [](const ::testing::TestParamInfo<Row>& row) { return std::string(row.param.name); });

} // namespace
