#include "journal/FinishedJobStore.h"
#include "queue/QueueStatements.h"
#include "support/QStringPrinter.h"
#include "support/QueueHarness.h"

#include <QFile>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

class TickFailuresTest : public ::testing::Test {
protected:
    void SetUp() override {
        h.seedRestaurant();
        h.db.addBill(302, QStringLiteral("1"), QStringLiteral("5"));
    }

    int logged(const QString& text) { return h.logLines().filter(text).size(); }

    QueueHarness h{QueueHarness::Printing::Captured, {}, false}; // forced lines only
};

// The printer is checked five seconds after it failed and every five seconds after that; here
// it fails the ticket and its first check, and prints at the tick after its second check.
TEST_F(TickFailuresTest, AFailingPrintersLinesWaitAndPrintByThemselvesOnceItIsBack) {
    const qint64 ayran = h.db.addSaleLine(302, QStringLiteral("B1"), 1, 10);
    const qint64 kofte = h.db.addSaleLine(302, QStringLiteral("K1"), 1, 10);
    h.db.queueJob(302, QStringLiteral("0"));
    h.captured.FailOn(QStringLiteral("MUTFAK-1"), 2);
    h.tick();
    ASSERT_EQ(h.poller.printerLists().production, (QStringList{"Bar", "Mutfak"}));
    h.tick(5);
    EXPECT_EQ(h.captured.paths(), QStringList{"BAR-1"});
    EXPECT_EQ(h.flags(ayran), QStringLiteral("1/1/0"));
    EXPECT_EQ(h.flags(kofte), QStringLiteral("0/0/0"));
    // Its extra ticket on Izgara follows the Mutfak ticket.
    EXPECT_EQ(h.poller.waitingJobs().value(QStringLiteral("1")), (QStringList{"Mutfak", "Izgara"}));
    EXPECT_EQ(h.queued(), 1);
    EXPECT_TRUE(h.notices.isEmpty());

    h.tick();
    EXPECT_EQ(h.captured.paths(), (QStringList{"BAR-1", "MUTFAK-1", "IZGARA-1"}));
    EXPECT_EQ(h.flags(kofte), QStringLiteral("1/1/1"));
    EXPECT_EQ(h.queued(), 0);
    EXPECT_EQ(h.logLines(), (QStringList{"Yazici calismiyor: Mutfak -- Yazici hatasi: MUTFAK-1",
                                         "Yazici yeniden calisiyor: Mutfak -- bekleyen 1 fis "
                                         "yazdirildi"}));
    EXPECT_EQ(h.faults, (QList<QueueHarness::Fault>{{FaultKind::PrinterFailing, "Mutfak", true},
                                                    {FaultKind::PrinterFailing, "Mutfak", false}}));
}

// A failing printer's ticket goes to its backup under a heading; while the backup fails too the
// ticket waits, and the backup's own backup is never asked.
TEST_F(TickFailuresTest, AFailingPrintersTicketGoesToItsBackupButNoFurther) {
    const qint64 kofte = h.db.addSaleLine(302, QStringLiteral("K1"), 1, 10);
    h.db.queueJob(302, QStringLiteral("0"));
    h.backups.Add(QStringLiteral("MUTFAK"), QStringLiteral("Bar"));
    h.backups.Add(QStringLiteral("Bar"), QStringLiteral("Izgara"));
    h.captured.FailOn(QStringLiteral("MUTFAK-1"), 2);
    h.captured.FailOn(QStringLiteral("BAR-1"));
    h.tick(3);
    EXPECT_EQ(h.flags(kofte), QStringLiteral("0/0/0"));
    EXPECT_TRUE(h.captured.paths().isEmpty());

    h.tick();
    EXPECT_EQ(h.captured.paths(), (QStringList{"BAR-1", "IZGARA-1"}));
    EXPECT_EQ(h.captured.printed().first().ticket.mid(0, 2),
              (QStringList{"#-YEDEK: Mutfak yerine", "#-URETIM FISI"}));
    EXPECT_EQ(h.flags(kofte), QStringLiteral("1/1/1"));
    EXPECT_EQ(h.queued(), 0);
    EXPECT_TRUE(h.notices.isEmpty());
    EXPECT_EQ(h.logLines(),
              (QStringList{"Yazici calismiyor: Mutfak -- Yazici hatasi: MUTFAK-1",
                           "Yazici calismiyor: Bar -- Yazici hatasi: BAR-1",
                           "Yedek yaziciya yazdirildi -- FisID:302 Yazici: "
                           "Mutfak Yedek: Bar Hata: Yazici hatasi: MUTFAK-1",
                           "Yazici yeniden calisiyor: Bar -- bekleyen 1 fis yazdirildi"}));
}

TEST_F(TickFailuresTest, AnExtraPrinterThatFailedIsStillOwedAfterARestart) {
    const qint64 kofte = h.db.addSaleLine(302, QStringLiteral("K1"), 1, 10);
    h.db.queueJob(302, QStringLiteral("0"));
    h.captured.FailOn(QStringLiteral("IZGARA-1"));
    h.tick();
    EXPECT_EQ(h.flags(kofte), QStringLiteral("1/1/0"));
    // The cause fixed and the server restarted: only the database says what is owed.
    h.now = h.now.addSecs(PrinterHealth::kCheckIntervalMs / 1000);
    QueuePoller restarted(h.job, h.context, {}, h.report, h.recovery);
    restarted.Q().setSql(QueueStatement());
    restarted.Tick();
    EXPECT_EQ(h.captured.paths(), (QStringList{"MUTFAK-1", "IZGARA-1"}));
    EXPECT_EQ(h.captured.TicketsFor(QStringLiteral("IZGARA-1")).value(0).mid(9),
              (QStringList{"%+1   Az pişmiş", ">*"}));
    EXPECT_EQ(h.flags(kofte), QStringLiteral("1/1/1"));
    EXPECT_EQ(h.queued(), 0);
}

TEST_F(TickFailuresTest, ATicketPrintedButNotMarkedIsOnlyMarkedAtTheRetry) {
    const qint64 ayran = h.db.addSaleLine(302, QStringLiteral("B1"), 1, 10);
    h.db.queueJob(302, QStringLiteral("0"));
    // Another writer takes the database right after the ticket came out.
    QSqlDatabase writer = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), "writer");
    writer.setDatabaseName(h.db.filePath());
    ASSERT_TRUE(writer.open());
    h.captured.setAfterPrint(
        [&writer](const auto&) { QSqlQuery(writer).exec(QStringLiteral("BEGIN IMMEDIATE")); });
    h.tick();
    EXPECT_EQ(h.flags(ayran), QStringLiteral("0/0/0"));
    EXPECT_EQ(h.notices.size(), 1);
    QSqlQuery(writer).exec(QStringLiteral("ROLLBACK"));
    h.tick();
    EXPECT_EQ(h.captured.paths(), QStringList{"BAR-1"});
    EXPECT_EQ(h.flags(ayran), QStringLiteral("1/1/0"));
    EXPECT_EQ(h.queued(), 0);
    writer.close();
}

// A job that cannot print never holds up the ones behind it; after five failures it is set
// aside and retried by itself, 30 s later, then after twice as long at each failure.
TEST_F(TickFailuresTest, AJobThatKeepsFailingIsRetriedOnItsOwnScheduleAndNeverBlocksTheQueue) {
    h.db.exec(QStringLiteral("INSERT INTO A_YazimKuyrugu (Tur, AdisyonID) VALUES ('1', 'x12')"));
    h.db.queueJob(302, QStringLiteral("1"));
    h.tick();
    EXPECT_EQ(h.builtBills, QStringList{"1:302"});
    EXPECT_EQ(h.notices, QStringList{"Is yazdirilamadi -- ID:1 FisID:x12 Tur:1 Hata: AdisyonID "
                                     "gecerli bir tamsayi degil: 'x12'"});
    h.tick(4);
    ASSERT_EQ(h.notices.size(), 2);
    EXPECT_EQ(h.notices.at(1), QStringLiteral("Is 5 denemede yazdirilamadi, atlaniyor; 30 sn "
                                              "sonra yeniden denenecek -- ID:1 FisID:x12 Tur:1"));
    const auto pause = [this] {
        return h.poller.failures().SetAsideOf("1")->pauseSeconds;
    };
    EXPECT_EQ(pause(), 30);
    h.tick(15);
    EXPECT_EQ(pause(), 60); // its retry failed
    EXPECT_EQ(h.notices.size(), 2);

    // Fixed in the database, it prints at its next retry without anybody asking.
    h.db.exec(QStringLiteral("UPDATE A_YazimKuyrugu SET AdisyonID='302' WHERE ID=1"));
    h.tick(29);
    EXPECT_EQ(h.queued(), 1);
    h.tick();
    EXPECT_EQ(h.builtBills, (QStringList{"1:302", "1:302"}));
    EXPECT_EQ(h.queued(), 0);
    EXPECT_EQ(h.logLines(), h.notices);
    EXPECT_EQ(h.faults, (QList<QueueHarness::Fault>{{FaultKind::JobFailing, "1", true},
                                                    {FaultKind::JobSetAside, "1", true},
                                                    {FaultKind::JobFailing, "1", false},
                                                    {FaultKind::JobSetAside, "1", false}}));
}

TEST_F(TickFailuresTest, TheOperatorsRetryTakesASetAsideJobAtOnce) {
    h.db.exec(QStringLiteral("INSERT INTO A_YazimKuyrugu (Tur, AdisyonID) VALUES ('1', 'x12')"));
    h.tick(5);
    h.db.exec(QStringLiteral("UPDATE A_YazimKuyrugu SET AdisyonID='302' WHERE ID=1"));
    h.poller.RetrySetAsideJobs();
    EXPECT_EQ(h.logLines().value(2),
              QStringLiteral("Bekleyen isler yeniden deneniyor -- atlanan is sayisi: 1"));
    h.tick();
    EXPECT_EQ(h.builtBills, QStringList{"1:302"});
    EXPECT_EQ(h.queued(), 0);
}

// A set-aside job that left the queue some other way counts no more, and its faults end.
TEST_F(TickFailuresTest, ASetAsideJobTakenOutOfTheQueueIsDoneWith) {
    h.db.exec(QStringLiteral("INSERT INTO A_YazimKuyrugu (Tur, AdisyonID) VALUES ('1', 'x12')"));
    h.tick(5);
    ASSERT_EQ(h.faults.size(), 2);
    h.db.exec(QStringLiteral("DELETE FROM A_YazimKuyrugu"));
    h.tick();
    EXPECT_EQ(h.poller.failures().setAsideCount(), 0);
    EXPECT_EQ(h.status.Summary(), QStringLiteral("Velmora\nBekleyen is: 0, atlanan is: 0"));
    EXPECT_EQ(h.faults.mid(2), (QList<QueueHarness::Fault>{{FaultKind::JobFailing, "1", false},
                                                           {FaultKind::JobSetAside, "1", false}}));
}

TEST_F(TickFailuresTest, ALostConnectionIsReportedOnceAndRestoredAtALaterTick) {
    h.db.addSaleLine(302, QStringLiteral("K1"), 1, 10);
    h.db.queueJob(302, QStringLiteral("0"));
    const QString file = h.db.filePath();
    const QString away = file + QStringLiteral(".away");
    h.db.session().Close();
    ASSERT_TRUE(QFile::rename(file, away)); // and the server cannot reach it again yet
    h.tick(3);
    EXPECT_EQ(h.notices, QStringList{"Veritabani baglantisi koptu -- Hata: Veritabani "
                                     "baglantisi acik degil"});
    EXPECT_TRUE(h.captured.printed().isEmpty());

    ASSERT_TRUE(QFile::rename(away, file));
    h.tick();
    EXPECT_EQ(h.notices.value(1), QStringLiteral("Veritabani baglantisi yeniden kuruldu"));
    EXPECT_EQ(h.captured.paths(), (QStringList{"MUTFAK-1", "IZGARA-1"}));
    EXPECT_EQ(h.queued(), 0);
    EXPECT_EQ(h.logLines(), h.notices);
    EXPECT_EQ(h.faults, (QList<QueueHarness::Fault>{{FaultKind::DatabaseLost, "", true},
                                                    {FaultKind::DatabaseLost, "", false}}));
}

// Each ticket once and in queue order when the database refuses a step or a printer is down.
TEST_F(TickFailuresTest, TicketsComeOutOnceAndInQueueOrderWhenTheDatabaseOrAPrinterRefuses) {
    struct Case {
        const char* name;
        std::function<void(QueueHarness&)> arrange;
        std::function<void(QueueHarness&)> mend; // after five ticks
        QStringList printed;                     // in order, after five ticks more
    };
    const QStringList bill{"1:302"};
    const std::vector<Case> cases = {
        {"a bill whose queue row cannot be deleted",
         [](QueueHarness& q) {
             q.db.queueJob(302, QStringLiteral("1"));
             q.db.exec(QStringLiteral("CREATE TRIGGER keep BEFORE DELETE ON A_YazimKuyrugu "
                                      "BEGIN SELECT RAISE(ABORT, 'silinemez'); END"));
         },
         [](QueueHarness& q) { q.db.exec(QStringLiteral("DROP TRIGGER keep")); },
         {}},
        {"a cancellation while its order waits for the kitchen printer",
         [](QueueHarness& q) {
             q.db.addSaleLine(302, QStringLiteral("K1"), 1, 10);
             q.db.queueJob(302, QStringLiteral("0"));
             q.db.addReturnLine(302, QStringLiteral("K1"), 1, 10);
             q.db.queueJob(302, QStringLiteral("2"));
             q.captured.FailOn(QStringLiteral("MUTFAK-1"), 3);
         },
         [](QueueHarness&) {},
         {"MUTFAK-1", "IZGARA-1", "MUTFAK-1", "IZGARA-1"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        QueueHarness q{QueueHarness::Printing::Captured, {}, false};
        q.seedRestaurant();
        q.db.addBill(302, QStringLiteral("1"), QStringLiteral("5"));
        QTemporaryDir dir;
        FinishedJobStore store(dir.filePath(QStringLiteral("gunluk.db")), q.log);
        q.poller.setFinishedJobStore(&store);
        c.arrange(q);
        q.poll(5);
        c.mend(q);
        // A restart in between forgets nothing that was printed.
        QueuePoller restarted(q.job, q.context, {}, q.report, q.recovery);
        restarted.Q().setSql(QueueStatement());
        restarted.setFinishedJobStore(&store);
        for (int i = 0; i < 5; ++i) {
            q.now = q.now.addSecs(2);
            while (restarted.Tick()) {
            }
        }
        EXPECT_EQ(q.captured.paths(), c.printed);
        EXPECT_EQ(q.builtBills, c.printed.isEmpty() ? bill : QStringList());
        EXPECT_EQ(q.queued(), 0);
    }
}

} // namespace
