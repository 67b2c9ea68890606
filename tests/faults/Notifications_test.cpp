#include "app/PrintServer.h"
#include "app/StatusPageBackend.h"
#include "support/CannedHttpServer.h"
#include "support/EscPosEmulator.h"
#include "support/QStringPrinter.h"
#include "support/RecordingMessages.h"
#include "support/ServerDirectory.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QJsonDocument>
#include <QJsonObject>
#include <QRegularExpression>
#include <QTimer>
#include <gtest/gtest.h>

namespace {

using Paper = EscPosEmulator::Condition;

struct NotifyCase {
    const char* name;
    QList<std::pair<int, Paper>> kitchen; // at that second the printer's paper, and an order
    int seconds;                          // the server's clock runs so far, in steps of 5 s
    QList<std::pair<int, QString>> told;  // the second (not in the ntfy form) and the title
    bool hangingNtfy = false;             // the ntfy form, to a receiver that never answers
    int standbyFrom = -1; // another server takes the lease over then, and this one takes it back
    int takeoverAt = -1;
};

// The real server with a kitchen receipt printer that runs low on paper or out of it, its
// notifications posted to a receiver on 127.0.0.1, its clock (printer checks and notifications)
// stepped by the test. Gecikme (sn) is 60.
TEST(NotificationsTest, EachFaultIsToldOnceItLastsAndOnceItEndsWithoutHoldingUpPrinting) {
    const QString kitchenDown = QStringLiteral("Yazici calismiyor: Mutfak");
    const QString kitchenBack = QStringLiteral("Yazici yeniden calisiyor: Mutfak");
    // Off for 70 s, on for 10, from 0 until it stays off at 560.
    QList<std::pair<int, Paper>> flapping;
    for (int off = 0; off <= 560; off += 80)
        flapping << std::pair(off, Paper::PaperEnd) << std::pair(off + 70, Paper::Ready);
    flapping.removeLast();
    const QList<NotifyCase> cases{
        {"off past the delay, then back",
         {{0, Paper::PaperEnd}, {70, Paper::Ready}},
         80,
         {{60, kitchenDown}, {70, kitchenBack}}},
        {"paper running low past the delay, then a new roll",
         {{0, Paper::PaperNearEnd}, {70, Paper::Ready}},
         80,
         {{60, QStringLiteral("Kagit azaliyor: Mutfak")},
          {70, QStringLiteral("Kagit uyarisi kalkti: Mutfak")}}},
        {"off for less than the delay", {{0, Paper::PaperEnd}, {30, Paper::Ready}}, 90, {}},
        {"flapping: two messages in ten minutes, then the truth",
         flapping,
         680,
         {{60, kitchenDown}, {70, kitchenBack}, {660, kitchenDown}}},
        {"a receiver that hangs",
         {{0, Paper::PaperEnd}, {70, Paper::Ready}},
         80,
         {{-1, kitchenDown}, {-1, kitchenBack}},
         true},
        {"a standby tells only its takeover; the page's test goes at once",
         {{0, Paper::PaperEnd}},
         145,
         {{80, QStringLiteral("Yedek sunucu devraldi")},
          {100, QStringLiteral("Velmora deneme bildirimi")},
          {140, kitchenDown}},
         false,
         5,
         80},
    };
    for (const NotifyCase& row : cases) {
        SCOPED_TRACE(row.name);
        CannedHttpServer receiver;
        if (row.hangingNtfy)
            receiver.setSilent();
        else
            receiver.setResponse(CannedHttpServer::Response(200, "{}"));
        EscPosEmulator kitchen;
        ServerDirectory dir;
        dir.write("Velmora.ini",
                  "[Durum Sayfasi]\r\nPort=0\r\n[Bildirim]\r\nAdres=" + receiver.url().toUtf8() +
                      "\r\nBicim=" + (row.hangingNtfy ? "ntfy" : "json"));
        TestDatabase& db = dir.database();
        db.exec(
            QStringLiteral("INSERT INTO A_Yazicilar VALUES ('Mutfak', '%1')").arg(kitchen.path()));
        db.exec("INSERT INTO AYAR VALUES ('POS', 'Sistem', 'Server calisma araligi (x snde bir)', "
                "'0')");
        db.addProduct("K1", "Köfte", "Mutfak");
        RecordingMessages messages;
        DiagnosticLog log(dir.logPath());
        PrintServer server(dir.path(), log, messages, NoPauseNoRates());
        server.parts().printPause = [](int) {
        };
        ASSERT_EQ(server.FormCreate(), StartupOutcome::Running);
        StatusPageBackend testPage(server.parts(), server.parts().journal.filePath(), [] {});
        const QDateTime start = QDateTime::fromSecsSinceEpoch(QDateTime::currentSecsSinceEpoch());
        QDateTime now = start;
        server.parts().poller->setClock([&now] { return now; });
        server.parts().notifier.setClock([&now] { return now; });
        qint64 slowest = 0;
        for (int second = 0, bill = 100; second <= row.seconds; second += 5) {
            now = start.addSecs(second);
            for (const auto& [at, paper] : row.kitchen) {
                if (at != second)
                    continue;
                kitchen.set(paper);
                db.addBill(++bill, "1", "5");
                db.addSaleLine(bill, "K1", 1, 10);
                db.queueJob(bill, "0");
            }
            if (second == row.standbyFrom)
                db.exec("UPDATE VelmoraSunucu SET Bilgisayar = 'KASA-2', Klasor = 'D:\\Velmora', "
                        "Donem = Donem + 1");
            // The lease's thread sees the other server take over, and takes the lease back once
            // that server's row stayed unchanged for the lease's time.
            if (second == row.standbyFrom || second == row.takeoverAt) {
                const QString awaited = second == row.takeoverAt ? "Etkin" : "Yedek";
                QDeadlineTimer wait(10000);
                while (!server.status().roleText().startsWith(awaited) && !wait.hasExpired())
                    QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 50);
            }
            if (second == row.takeoverAt + 20)
                testPage.SendTestNotification();
            QElapsedTimer tick;
            tick.start();
            if (server.parts().lease.prints())
                server.TTimer();
            else // a standby's page prints nothing either, and says so
                EXPECT_TRUE(testPage.Print("Mutfak", {"Test"}, JournalEntry()).contains("yedek"));
            slowest = std::max(slowest, tick.elapsed());
            server.parts().notifier.Review();
        }
        QDeadlineTimer deadline(15000);
        while (receiver.requestCount() < row.told.size() && !deadline.hasExpired()) {
            QEventLoop wait;
            QTimer::singleShot(50, &wait, &QEventLoop::quit);
            wait.exec();
        }
        QList<std::pair<int, QString>> told;
        for (const QByteArray& request : receiver.requests()) {
            const QJsonObject json =
                QJsonDocument::fromJson(request.mid(request.indexOf("\r\n\r\n") + 4)).object();
            const QDateTime time = QDateTime::fromString(json["time"].toString(), Qt::ISODate);
            const QString title = QRegularExpression("\r\nTitle: ([^\r]*)")
                                      .match(QString::fromUtf8(request))
                                      .captured(1);
            told.append({row.hangingNtfy ? -1 : static_cast<int>(start.secsTo(time)),
                         row.hangingNtfy ? title : json["title"].toString()});
        }
        EXPECT_EQ(told, row.told);
        EXPECT_LT(slowest, 2000) << "a tick waited for the notification address";
        EXPECT_EQ(dir.lines("velmora.log").filter("Bildirim gonderilemedi").size(),
                  row.hangingNtfy ? 1 : 0);
        // Every order came out once its printer was back; an order still waits for one still off.
        EXPECT_EQ(db.count("A_YazimKuyrugu"), row.kitchen.last().second == Paper::PaperEnd ? 1 : 0);
    }
}

} // namespace
