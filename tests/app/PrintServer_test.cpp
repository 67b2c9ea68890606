#include "app/PrintServer.h"
#include "journal/JournalReader.h"
#include "log/DiagnosticLog.h"
#include "standby/LeaseStatements.h"
#include "support/RecordingMessages.h"
#include "support/ServerDirectory.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <functional>
#include <gtest/gtest.h>

namespace {

// Answers like RecordingMessages and lets a test act from inside a message box, where a modal
// box's own loop would deliver a close request.
class ReentrantMessages : public RecordingMessages {
public:
    void ShowMessage(const QString& text) override {
        RecordingMessages::ShowMessage(text);
        whileShown();
    }
    std::function<void()> whileShown = [] {
    };
};

class PrintServerTest : public ::testing::Test {
protected:
    void SetUp() override {
        QObject::connect(&server, &PrintServer::closed, [this] { ++closedSignals; });
    }

    QStringList logLines() const { return dir.lines(QStringLiteral("velmora.log")); }

    ServerDirectory dir;
    ReentrantMessages messages;
    DiagnosticLog log{dir.logPath()};
    PrintServer server{dir.path(), log, messages, NoPauseNoRates()};
    int closedSignals = 0;
};

TEST_F(PrintServerTest, FormCloseReleasesInOrderOnce) {
    dir.write(QStringLiteral("Velmora.ini"),
              "[BU KISIMDAKI AYARLARI DEGISTIRMEYIN]\r\nVerbose mode (DEGISTIRMEYIN)=1\r\n");
    dir.database().exec(QStringLiteral("INSERT INTO A_Yazicilar VALUES ('Adisyon', 'pdf:a')"));
    ASSERT_EQ(server.FormCreate(), StartupOutcome::Running);
    ServerParts& parts = server.parts();
    parts.X.setSql(QStringLiteral("SELECT Adi FROM A_Yazicilar"));
    parts.X.Open(); // as a builder may leave it
    ASSERT_TRUE(parts.T.isActive());

    server.Close();
    server.Close();

    QStringList closing;
    for (const QString& line : logLines()) {
        const qsizetype at = line.indexOf(QStringLiteral("-Kapanis: "));
        if (at >= 0)
            closing.append(line.mid(at + 10));
    }
    EXPECT_EQ(closing,
              (QStringList{"yazici kayitlari birakildi", "uretim ve ek yazici listeleri birakildi",
                           "X kapatildi", "A kapatildi", "Q kapatildi", "YAZ kapatildi",
                           "veritabani baglantisi kesildi"}));
    EXPECT_TRUE(parts.registry.printers().isEmpty());
    EXPECT_FALSE(parts.YAZ.isOpen());
    EXPECT_FALSE(parts.X.isOpen());
    EXPECT_FALSE(parts.A.isOpen());
    ASSERT_NE(parts.poller, nullptr);
    EXPECT_FALSE(parts.poller->Q().isOpen());
    EXPECT_FALSE(parts.C.isOpen());
    EXPECT_FALSE(parts.T.isActive());
    EXPECT_TRUE(server.isClosed());
    EXPECT_EQ(closedSignals, 1);
}

TEST_F(PrintServerTest, CloseDuringStartupWaitsForItsEnd) {
    dir.database().exec(QStringLiteral("DROP TABLE A_Yazicilar"));
    bool connectedWhenClosing = false;
    messages.whileShown = [&] {
        server.Close();
        connectedWhenClosing = server.parts().C.isOpen() && !server.isClosed();
    };

    EXPECT_EQ(server.FormCreate(), StartupOutcome::Stopped);
    EXPECT_TRUE(connectedWhenClosing);
    EXPECT_TRUE(server.isClosed());
    EXPECT_FALSE(server.parts().C.isOpen());
    EXPECT_EQ(closedSignals, 1);
}

TEST_F(PrintServerTest, CloseDuringATickWaitsForTheTickToEnd) {
    TestDatabase& db = dir.database();
    db.addBill(7, QStringLiteral("1"), QStringLiteral("5"));
    db.queueJob(7, QStringLiteral("1"));
    ASSERT_EQ(server.FormCreate(), StartupOutcome::Running);

    // Delivered by the tick itself, when it lets waiting messages through.
    QMetaObject::invokeMethod(&server, &PrintServer::Close, Qt::QueuedConnection);
    server.TTimer();

    EXPECT_EQ(db.count(QStringLiteral("A_YazimKuyrugu")), 0); // the job went through
    EXPECT_FALSE(QFile::exists(dir.logPath()));               // and nothing failed
    EXPECT_TRUE(server.isClosed());
    EXPECT_EQ(closedSignals, 1);
    server.TTimer(); // a tick still queued meets a closed server and does nothing
    EXPECT_EQ(closedSignals, 1);
}

// A rush drains at the speed of its jobs, not one job per poll interval: twenty bills on a PDF
// printer take far less than the twenty intervals of two seconds they once needed.
TEST_F(PrintServerTest, AQueueDrainsWithoutWaitingAPollIntervalPerJob) {
    TestDatabase& db = dir.database();
    db.exec(QStringLiteral("INSERT INTO A_Yazicilar VALUES ('Adisyon', 'pdf:a')"));
    const int jobs = 20;
    for (int bill = 1; bill <= jobs; ++bill) {
        db.addBill(bill, QStringLiteral("1"), QStringLiteral("5"));
        db.queueJob(bill, QStringLiteral("1"));
    }
    ASSERT_EQ(server.FormCreate(), StartupOutcome::Running);
    const int interval = server.parts().T.interval();
    QElapsedTimer elapsed;
    elapsed.start();
    while (db.count(QStringLiteral("A_YazimKuyrugu")) > 0 && elapsed.elapsed() < jobs * interval)
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 50);
    EXPECT_EQ(db.count(QStringLiteral("A_YazimKuyrugu")), 0);
    EXPECT_LT(elapsed.elapsed(), jobs * interval / 4);
}

TEST_F(PrintServerTest, FailingTicksReachTheNotice) {
    QStringList notices;
    server.setNotice([&](const QString& message) { notices.append(message); });
    dir.database().addBill(7, QStringLiteral("1"), QStringLiteral("5"));
    dir.database().queueJob(7, QStringLiteral("1"));
    ASSERT_EQ(server.FormCreate(), StartupOutcome::Running);
    dir.database().exec(QStringLiteral("DROP TABLE A_AdsIade"));

    server.TTimer();

    ASSERT_EQ(notices.size(), 1);
    EXPECT_TRUE(notices.first().contains(QStringLiteral("A_AdsIade")));
    EXPECT_TRUE(messages.entries().isEmpty()); // no box holds the server
    EXPECT_EQ(dir.database().count(QStringLiteral("A_YazimKuyrugu")), 1);
}

struct PickupCase {
    const char* velmoraIni;
    const char* lease; // what the database holds of it before the start
    bool takenBeforeTheTick;
    const char* role; // as the tray and the page show it
};

// A job queued between two poll ticks is taken within a few queue checks, well before the next
// tick, and journaled with the wait from when the server saw it; with the checks off, or on a
// standby, nothing asks before the tick. The first checks pass before the job comes, so only its
// arrival can start the tick. A lease that cannot work leaves the server printing alone.
TEST(PrintServerPickup, AJobQueuedBetweenTicksIsTakenAtOnceOnlyByTheActiveServerWithChecksOn) {
    const QList<PickupCase> cases{
        {"", "", true, "Etkin sunucu"},
        {"[Sistem]\r\nHizli kontrol (ms)=0\r\n", "", false, "Etkin sunucu"},
        {"", "INSERT INTO VelmoraSunucu VALUES (1, 'KASA2', 'C:/Velmora', 0, 0, 1, 0)", false,
         "Yedek sunucu -- etkin: KASA2 (C:/Velmora)\nYedek sunucu hazir degil: Mutfak "
         "(VelmoraYok) bu bilgisayarda yok"},
        {"", "DROP TABLE VelmoraSunucu; CREATE VIEW VelmoraSunucu AS SELECT 1 AS ID", true,
         "Yedek sunucu kullanilamiyor: Cannot add a column to a view"}};
    for (const auto& [velmoraIni, lease, takenBeforeTheTick, role] : cases) {
        ServerDirectory dir;
        dir.write(QStringLiteral("Velmora.ini"), velmoraIni);
        TestDatabase& db = dir.database();
        db.session().Execute(CreateLeaseTableStatement());
        for (const QString& statement : QString::fromLatin1(lease).split(';', Qt::SkipEmptyParts))
            db.exec(statement);
        db.exec(QStringLiteral("INSERT INTO A_Yazicilar VALUES ('Mutfak', 'VelmoraYok')"));
        db.exec(QStringLiteral("INSERT INTO A_Yazicilar VALUES ('Adisyon', 'pdf:a')"));
        db.exec(QStringLiteral("INSERT INTO AYAR VALUES ('POS', 'Sistem', "
                               "'Server calisma araligi (x snde bir)', '5')"));
        db.addBill(1, QStringLiteral("1"), QStringLiteral("5"));
        RecordingMessages messages;
        DiagnosticLog log(dir.logPath());
        PrintServer server(dir.path(), log, messages, NoPauseNoRates());
        ASSERT_EQ(server.FormCreate(), StartupOutcome::Running);
        EXPECT_EQ(server.parts().watch.isActive(), takenBeforeTheTick) << velmoraIni;
        QElapsedTimer elapsed;
        elapsed.start();
        while (elapsed.elapsed() < 600)
            QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 50);
        server.parts().T.start(); // the next tick is a whole interval away
        db.queueJob(1, QStringLiteral("1"));
        elapsed.restart();
        while (db.count(QStringLiteral("A_YazimKuyrugu")) > 0 && elapsed.elapsed() < 2500)
            QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 50);
        EXPECT_EQ(db.count(QStringLiteral("A_YazimKuyrugu")) == 0, takenBeforeTheTick)
            << velmoraIni;
        const QList<qint64> waits =
            JournalReader(server.parts().journal.filePath(), server.parts().report, log)
                .Waits(QStringLiteral("Adisyon"), QDate::currentDate());
        EXPECT_EQ(waits.size(), takenBeforeTheTick ? 1 : 0);
        for (const qint64 wait : waits)
            EXPECT_LE(wait, elapsed.elapsed());
        EXPECT_TRUE(server.status().roleText().startsWith(QString::fromLatin1(role))) << role;
        // A server alone on its database logs no role, and every other role is logged.
        EXPECT_EQ(dir.read("velmora.log").contains(QByteArray(role).split('\n').last()),
                  role[0] == 'Y');
        server.Close();
    }
}

} // namespace
