#include "journal/FinishedJobStore.h"
#include "journal/JournalReader.h"
#include "screen/CardStore.h"
#include "support/EscPosEmulator.h"
#include "support/QueueHarness.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <gtest/gtest.h>

namespace {

#ifdef Q_OS_WIN
// Winsock takes a whole ticket into its own buffer: a printer that stops reading hangs nothing.
constexpr bool kPrintersCanHang = false;
#else
constexpr bool kPrintersCanHang = true;
#endif

// Mutfak and Bar on receipt printers, and each tick's milliseconds.
struct Restaurant {
    Restaurant()
        : h(QueueHarness::Printing::Spooled, {"MUTFAK-1", "BAR-1"}, false) {
        h.devices.setEscPosTimeouts({1000, 4000, 500});
        h.seedRestaurant();
        h.addPrinter("Mutfak", mutfak.path());
        h.addPrinter("Bar", bar.path());
    }
    ~Restaurant() {
        if (!disk.isEmpty())
            QProcess::execute("umount", {disk});
    }
    QueueHarness h;
    EscPosEmulator mutfak;
    EscPosEmulator bar;
    QString disk; // a small one of its own, when mounted
    QList<qint64> tickMs;
};

struct Row {
    const char* name;
    std::function<void(Restaurant&)> breakIt, expect; // before the order; after four ticks
};

void PrintTo(const Row& row, std::ostream* out) {
    *out << row.name;
}

class MisbehavingTest : public ::testing::TestWithParam<Row> {};

// Whatever misbehaves, each ticket comes out once or waits, nothing is lost silently, and the
// fault costs the other printers no time.
TEST_P(MisbehavingTest, EveryTicketOnceNothingLostNothingSlowed) {
    Restaurant t;
    GetParam().breakIt(t);
    if (IsSkipped())
        return;
    t.h.db.addBill(302, "1", "5");
    t.h.db.addSaleLine(302, "K1", 1, 20);
    t.h.db.addSaleLine(302, "B1", 1, 5);
    t.h.db.queueJob(302, "0");
    for (QElapsedTimer tick; t.tickMs.size() < 4; t.tickMs << tick.elapsed()) {
        tick.start();
        t.h.tick();
    }
    GetParam().expect(t);
}

INSTANTIATE_TEST_SUITE_P(
    Faults, MisbehavingTest,
    ::testing::Values(
        Row{"FullDisk",
            [](Restaurant& r) {
                r.disk = r.h.db.directory() + "/dolu";
                QDir().mkpath(r.disk);
                if (QProcess::execute("mount", {"-t", "tmpfs", "-o", "size=8k", "x", r.disk}) !=
                    0) {
                    r.disk.clear();
                    GTEST_SKIP() << "no tmpfs can be mounted here";
                }
                r.h.addPrinter("Mutfak", "pdf:" + r.disk);
            },
            [](Restaurant& r) {
                EXPECT_TRUE(QDir(r.disk).isEmpty(QDir::AllEntries | QDir::Hidden |
                                                 QDir::NoDotAndDotDot)); // nothing half-written
                EXPECT_EQ(r.h.logLines().filter("Mutfak -- PDF dosyasi yazilamadi").size(), 1);
                QProcess::execute("mount", {"-o", "remount,size=1m", r.disk});
                r.h.tick(3);
                EXPECT_EQ(QDir(r.disk).entryList(QDir::Files).size(), 1);
                EXPECT_EQ(r.h.queued(), 0);
            }},
        Row{"HungReceiptPrinter", [](Restaurant& r) { r.mutfak.set(EscPosEmulator::Fault::Hangs); },
            [](Restaurant& r) {
                if (!kPrintersCanHang)
                    GTEST_SKIP() << "Windows takes the ticket before the printer reads it";
                EXPECT_EQ(r.bar.tickets().size(), 1);
                EXPECT_EQ(r.h.queued(), 1);
                // The first ticket waits out the write timeout, the check at the fourth tick not.
                EXPECT_LT(*std::max_element(r.tickMs.begin() + 1, r.tickMs.end()), 1800);
            }},
        Row{"LockedJournal",
            [](Restaurant& r) {
                QSqlDatabase holder = QSqlDatabase::addDatabase("QSQLITE", "kilit");
                holder.setDatabaseName(r.h.journal.filePath());
                ASSERT_TRUE(holder.open() && QSqlQuery(holder).exec("BEGIN EXCLUSIVE"));
            },
            [](Restaurant& r) {
                EXPECT_LT(r.tickMs.first(), 1000);
                EXPECT_EQ(r.h.logLines().filter("Fis gunlugu yazilamadi").size(), 1);
                TicketJournal(r.h.journal.filePath(), r.h.report, r.h.log).Record({}); // locked
                EXPECT_EQ(r.h.logLines().filter("kapanirken 1 fis").size(), 1);
                // The screens' cards in the same file fail alike, reported once until they go in.
                CardStore cards(r.h.journal.filePath(), r.h.report, r.h.log);
                EXPECT_TRUE(cards.Key("Tatli").isEmpty() && cards.Key("Tatli").isEmpty());
                QSqlDatabase::database("kilit").close();
                QSqlDatabase::removeDatabase("kilit");
                r.h.journal.CatchUp(); // Mutfak's, Bar's and the missing Izgara's
                EXPECT_FALSE(cards.Key("Tatli").isEmpty());
                EXPECT_EQ(r.h.logLines().filter("Ekran kartlari").size(), 2);
                const JournalReader reader(r.h.journal.filePath(), r.h.report, r.h.log);
                EXPECT_EQ(reader.Search(QDate::currentDate(), {}, 9).size(), 3);
            }},
        Row{"DeletedJournal",
            [](Restaurant& r) {
                JournalEntry first;
                first.time = QDateTime::currentDateTime();
                r.h.journal.Record(first); // opens the file
                if (!QFile::remove(r.h.journal.filePath()))
                    GTEST_SKIP() << "an open file cannot be deleted here";
            },
            [](Restaurant& r) {
                JournalEntry first;
                first.time = QDateTime::currentDateTime();
                EXPECT_EQ(r.h.logLines().filter("Fis gunlugu silinmis").size(), 1);
                const JournalReader reader(r.h.journal.filePath(), r.h.report, r.h.log);
                EXPECT_EQ(reader.Search(QDate::currentDate(), {}, 9).size(), 3);
                // A connection that had the deleted file writes into the one made again, which a
                // restart reads.
                const QString path = r.h.journal.filePath();
                FinishedJobStore store(path, r.h.log);
                ASSERT_TRUE(store.Save({"7", "302", "0"}));
                ASSERT_TRUE(QFile::remove(path));
                r.h.journal.Record(first); // the journal makes it again
                ASSERT_TRUE(store.Save({"8", "303", "0"}));
                EXPECT_EQ(FinishedJobStore(path, r.h.log).Load().size(), 1);
            }}),
    [](const ::testing::TestParamInfo<Row>& row) { return std::string(row.param.name); });

} // namespace
