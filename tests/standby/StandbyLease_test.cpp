#include "core/Error.h"
#include "standby/StandbyLease.h"
#include "support/QStringPrinter.h"

#include <QStringList>
#include <gtest/gtest.h>

namespace {

const ServerIdentity kSelf{"KASA", "C:/Velmora"};
const ServerIdentity kOther{"BAR", "D:/Velmora"};

// The lease's table as a database keeps it, with the faults a step gives it.
struct FakeStore : LeaseStore {
    bool table = false, canCreate = true, answers = true;
    QString failing; // what every statement on the row fails with, and as which kind
    ErrorKind kind = ErrorKind::Other;
    std::optional<LeaseRow> row;

    void Prepare() override {
        if (!table && !canCreate)
            throw DatabaseError("CREATE TABLE izni yok");
        table = true;
    }
    std::optional<LeaseRow> Read() override { return Require(), row; }
    void InsertRow() override { Require(), row = row.value_or(LeaseRow{}); }
    void Take(const ServerIdentity& self, const LeaseRow& seen) override {
        if (Require(), row == seen)
            row = LeaseRow{self, seen.epoch + 1, 0, {}};
    }
    void Renew(const ServerIdentity& self, qint64 epoch) override {
        if (Require(), row->holder == self && row->epoch == epoch)
            ++row->renewals;
    }
    void Release(const ServerIdentity&, qint64) override {}
    bool Answers() override { return answers; }
    void Reconnect() override {}
    void Require() const {
        if (!table || !failing.isEmpty())
            throw DatabaseError(table ? failing : "no such table: VelmoraSunucu", kind);
    }
};

// One server's day, checked every two seconds on a clock the test moves: what happens to the
// row or the database at each step, how long the step lasts, and what the server is then.
TEST(StandbyLease, DecidesOnItsOwnClockHealsAndSaysSoOnce) {
    FakeStore store;
    LeaseGrant grant;
    qint64 now = 1000000;
    QStringList logLines;
    StandbyLease lease(
        store, kSelf, grant,
        [&](const LeaseReport& report) { logLines << report.logLine << report.failure; },
        [&] { return now; });
    const auto nothing = [](FakeStore&) {
    };
    const struct {
        const char* step;
        void (*happens)(FakeStore&);
        int seconds;
        ServerRole role;
        bool prints; // a ticket may leave: the active server within its time budget
        const char* logged;
    } steps[] = {
        {"a free lease, taken and renewed", nothing, 60, ServerRole::Active, true, ""},
        {"lost to another server",
         [](FakeStore& s) {
             s.row = LeaseRow{kOther, 2, 0, {}};
         },
         2, ServerRole::Standby, false, "Yedek sunucu -- etkin: BAR (D:/Velmora)"},
        {"which renews", [](FakeStore& s) { ++s.row->renewals; }, 4, ServerRole::Standby, false,
         ""},
        {"then falls silent", nothing, 2, ServerRole::Standby, false, ""},
        {"for the lease's time", nothing, 2, ServerRole::Active, true,
         "Etkin sunucu -- devralindi: BAR (D:/Velmora) son yenilemesinden en az 6 sn sonra"},
        {"the row deleted", [](FakeStore& s) { s.row.reset(); }, 2, ServerRole::Active, true, ""},
        {"the table dropped", [](FakeStore& s) { s.table = false, s.row.reset(); }, 2,
         ServerRole::Active, true,
         "Sunucu kirasi denetlenemedi -- Hata: no such table: VelmoraSunucu"},
        {"its row made again", nothing, 2, ServerRole::Active, true, ""},
        {"renewals meet a lock",
         [](FakeStore& s) { s.failing = "Kilit", s.kind = ErrorKind::TimedOut; }, 2,
         ServerRole::Active, true, "Sunucu kirasi denetlenemedi -- Hata: Kilit"},
        {"beyond the time budget", nothing, 2, ServerRole::Active, false, ""},
        {"a lock never makes it print alone", nothing, 120, ServerRole::Active, false, ""},
        {"other failures for a minute", [](FakeStore& s) { s.kind = ErrorKind::Other; }, 62,
         ServerRole::Alone, false, "Yedek sunucu kullanilamiyor: Kilit"},
        {"a table that cannot be made", [](FakeStore& s) { s.table = false, s.canCreate = false; },
         60, ServerRole::Alone, false, "Yedek sunucu kullanilamiyor: CREATE TABLE izni yok"},
        {"tried again only after a minute",
         [](FakeStore& s) { s.failing.clear(), s.canCreate = true; }, 58, ServerRole::Alone, false,
         ""},
        {"a minute", nothing, 2, ServerRole::Active, true, ""},
        {"its own lease from before a restart",
         [](FakeStore& s) {
             s.row = {{kSelf, 9, 0, {}}};
         },
         2, ServerRole::Active, true, ""},
        {"the database out of reach", [](FakeStore& s) { s.answers = false, s.failing = "Yok"; },
         120, ServerRole::Active, false, "Sunucu kirasi denetlenemedi -- Hata: Yok"},
    };
    lease.Start();
    for (const auto& [step, happens, seconds, role, prints, logged] : steps) {
        happens(store);
        logLines.clear();
        for (int passed = 0; passed < seconds; passed += 2)
            now += StandbyLease::kCheckMilliseconds, lease.Refresh();
        EXPECT_EQ(grant.current().role, role) << step;
        EXPECT_EQ(Trusted(grant.current(), now), prints) << step;
        logLines.removeAll(QString());
        EXPECT_EQ(logLines.join(QString()), QString::fromUtf8(logged)) << step;
    }
}

} // namespace
