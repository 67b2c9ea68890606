#include "journal/TicketJournal.h"
#include "support/EscPosEmulator.h"
#include "support/QueueHarness.h"

#include <QDir>
#include <QElapsedTimer>
#include <QProcess>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <functional>
#include <gtest/gtest.h>
#include <ostream>

namespace {

// The restaurant's Mutfak and Bar on receipt printers (or recorded), orders of Köfte for
// Mutfak and Ayran for Bar, and the milliseconds of each tick.
struct Restaurant {
    explicit Restaurant(QueueHarness::Printing printing)
        : h(printing, {QStringLiteral("MUTFAK-1"), QStringLiteral("BAR-1")}, false) {
        h.devices.setEscPosTimeouts({1000, 4000, 500});
        h.seedRestaurant();
        if (printing == QueueHarness::Printing::Spooled) {
            h.addPrinter(QStringLiteral("Mutfak"), mutfak.path());
            h.addPrinter(QStringLiteral("Bar"), bar.path());
        }
    }
    ~Restaurant() {
        if (!folder.isEmpty())
            QProcess::execute(QStringLiteral("umount"), {folder});
    }
    void order(const QString& note) {
        h.db.addSaleLine(302, QStringLiteral("K1"), 1, 20, note);
        h.db.addSaleLine(302, QStringLiteral("B1"), 1, 5);
        h.db.queueJob(302, QStringLiteral("0"));
    }
    qsizetype journaled() { return h.journal.Search(QDate::currentDate(), {}, 99).size(); }

    QueueHarness h;
    EscPosEmulator mutfak;
    EscPosEmulator bar;
    QString folder; // a small disk of its own, when mounted
    QList<qint64> tickMs;
};

struct Row {
    const char* name;
    QueueHarness::Printing printing;
    QString note;                                 // of the Köfte line
    std::function<void(Restaurant&)> breakIt;     // before the order is queued
    std::function<void(Restaurant&)> expectation; // after four ticks
};

void PrintTo(const Row& row, std::ostream* out) {
    *out << row.name;
}

class MisbehavingTest : public ::testing::TestWithParam<Row> {};

// Whatever misbehaves, each ticket comes out once or waits, nothing is lost silently, and the
// fault costs the other printers no time.
TEST_P(MisbehavingTest, EveryTicketOnceNothingLostNothingSlowed) {
    const Row& row = GetParam();
    Restaurant t(row.printing);
    row.breakIt(t);
    if (::testing::Test::IsSkipped())
        return;
    t.h.db.addBill(302, QStringLiteral("1"), QStringLiteral("5"));
    t.order(row.note);
    for (int i = 0; i < 4; ++i) {
        QElapsedTimer tick;
        tick.start();
        t.h.tick();
        t.tickMs << tick.elapsed();
    }
    row.expectation(t);
}

const auto kSpooled = QueueHarness::Printing::Spooled;

INSTANTIATE_TEST_SUITE_P(
    Faults, MisbehavingTest,
    ::testing::Values(
        Row{"FullDisk",
            kSpooled,
            {},
            [](Restaurant& r) {
                r.folder = r.h.db.directory() + QStringLiteral("/dolu");
                QDir().mkpath(r.folder);
                if (QProcess::execute(QStringLiteral("mount"),
                                      {"-t", "tmpfs", "-o", "size=8k", "tmpfs", r.folder}) != 0) {
                    r.folder.clear();
                    GTEST_SKIP() << "no tmpfs can be mounted here";
                }
                r.h.addPrinter(QStringLiteral("Mutfak"), QStringLiteral("pdf:") + r.folder);
            },
            [](Restaurant& r) {
                EXPECT_EQ(QDir(r.folder).entryList(QDir::Files | QDir::Hidden), QStringList());
                EXPECT_EQ(r.h.queued(), 1);
                EXPECT_EQ(r.h.logLines()
                              .filter(QStringLiteral("Mutfak -- PDF dosyasi yazilamadi"))
                              .size(),
                          1);
                QProcess::execute(QStringLiteral("mount"),
                                  {"-o", "remount,size=1m", r.folder}); // room again
                r.h.tick(3);
                const QFileInfoList files = QDir(r.folder).entryInfoList(QDir::Files);
                ASSERT_EQ(files.size(), 1);
                EXPECT_GT(files.first().size(), 1000);
                EXPECT_EQ(r.h.queued(), 0);
                EXPECT_EQ(r.bar.tickets().size(), 1);
            }},
        Row{"HungReceiptPrinter",
            kSpooled,
            {},
            [](Restaurant& r) { r.mutfak.set(EscPosEmulator::Fault::Hangs); },
            [](Restaurant& r) {
                EXPECT_EQ(r.bar.tickets().size(), 1);
                EXPECT_EQ(r.h.queued(), 1);
                // The first ticket waits out the printer's write timeout; its checks may not.
                EXPECT_LT(*std::max_element(r.tickMs.begin() + 1, r.tickMs.end()), 1800);
                QElapsedTimer check;
                check.start();
                EXPECT_FALSE(r.h.spooled.CheckPrinter(r.mutfak.path()).isEmpty());
                EXPECT_LT(check.elapsed(), 1800);
            }},
        Row{"LockedJournal",
            kSpooled,
            {},
            [](Restaurant& r) {
                QSqlDatabase holder =
                    QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("kilit"));
                holder.setDatabaseName(r.h.journal.filePath());
                ASSERT_TRUE(holder.open());
                ASSERT_TRUE(QSqlQuery(holder).exec(QStringLiteral("BEGIN EXCLUSIVE")));
            },
            [](Restaurant& r) {
                EXPECT_LT(r.tickMs.first(), 1000);
                EXPECT_EQ(r.mutfak.tickets().size() + r.bar.tickets().size(), 2);
                EXPECT_EQ(r.h.logLines().filter(QStringLiteral("Fis gunlugu yazilamadi")).size(),
                          1);
                TicketJournal(r.h.journal.filePath(), r.h.log).Record({}); // closed while locked
                EXPECT_EQ(r.h.logLines().filter(QStringLiteral("kapanirken 1 fis")).size(), 1);
                QSqlDatabase::database(QStringLiteral("kilit")).close();
                QSqlDatabase::removeDatabase(QStringLiteral("kilit"));
                r.order({});
                r.h.tick();
                EXPECT_EQ(r.journaled(),
                          6); // three held back (Izgara is not installed), three more
            }},
        Row{"NoteLikeMarkup", QueueHarness::Printing::Rendered, QStringLiteral("=-ALERJI FISTIK"),
            [](Restaurant&) {},
            [](Restaurant& r) {
                const RecordingPrinterSource& printed = r.h.rendered.printers();
                QStringList kitchen;
                for (int i = 0; i < printed.documentCount(); ++i) {
                    if (printed.document(i).path == QLatin1String("MUTFAK-1"))
                        kitchen << printed.document(i).drawnTexts();
                }
                EXPECT_TRUE(kitchen.contains(QStringLiteral("=-ALERJI FISTIK")))
                    << kitchen.join('|').toStdString();
            }}),
    [](const ::testing::TestParamInfo<Row>& row) { return std::string(row.param.name); });

} // namespace
