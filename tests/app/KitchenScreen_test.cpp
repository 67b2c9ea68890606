#include "app/PrintServer.h"
#include "job/PrinterHealth.h"
#include "log/DiagnosticLog.h"
#include "support/ExternalTool.h"
#include "support/RecordingMessages.h"
#include "support/ServerDirectory.h"

#include <QDir>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTemporaryDir>
#include <QTimer>
#include <QWebSocket>
#include <functional>
#include <gtest/gtest.h>

namespace {

struct ScreenRow {
    const char* name;
    std::function<void()> act; // what the kitchen or the cook does
    QStringList shown;         // in the screen's cards and counts, as the browser has them
    QStringList notShown;
    int paperTickets; // on the backup printer by then
};

// The screen of the station Tatli in headless chromium, on the restaurant's network by its
// key, through an evening: every change reaches it pushed, every tap goes back, and once the
// screen is gone its tickets come out on the backup printer.
TEST(KitchenScreen, ShowsOrdersPushedBumpsThemAndFallsBackToPaper) {
    ServerDirectory dir;
    QTcpServer probe;
    ASSERT_TRUE(probe.listen(QHostAddress::LocalHost));
    const quint16 port = probe.serverPort();
    probe.close();
    dir.write(QStringLiteral("Velmora.ini"), "[Durum Sayfasi]\r\nPort=" + QByteArray::number(port) +
                                                 "\r\nSifre=mutfak-sifresi\r\n[Yedek Yazicilar]\r\n"
                                                 "Tatli=Kagit\r\n");
    TestDatabase& db = dir.database();
    db.exec(QStringLiteral("INSERT INTO A_Yazicilar VALUES ('Tatli', 'ekran:Tatli?sari=5')"));
    db.exec(QStringLiteral("INSERT INTO A_Yazicilar VALUES ('Kagit', 'pdf:kagit')"));
    db.exec(QStringLiteral("INSERT INTO AYAR VALUES ('POS', 'Sistem', "
                           "'Server calisma araligi (x snde bir)', '0')"));
    db.exec(QStringLiteral("INSERT INTO DEPARTMAN VALUES ('1', 'Salon')"));
    db.exec(QStringLiteral("INSERT INTO [USER] (KODU, ADI) VALUES ('1', 'Elif Kaya')"));
    db.addProduct(QStringLiteral("T1"), QStringLiteral("Künefe"), QStringLiteral("Tatli"));
    db.addProduct(QStringLiteral("T2"), QStringLiteral("Sütlaç"), QStringLiteral("Tatli"));
    RecordingMessages messages;
    DiagnosticLog log(dir.logPath());
    PrintServer server(dir.path(), log, messages, NoPauseNoRates());
    ASSERT_EQ(server.FormCreate(), StartupOutcome::Running);
    ScreenHub& screens = server.parts().screens;

    const auto spin = [](int milliseconds) {
        QEventLoop loop;
        QTimer::singleShot(milliseconds, &loop, &QEventLoop::quit);
        loop.exec();
    };
    const QTemporaryDir profile;
    QProcess browser;
    browser.start(QStringLiteral("chromium"),
                  {"--headless", "--no-sandbox", "--disable-gpu", "--window-size=1280,800",
                   "--remote-debugging-port=0", "--remote-allow-origins=*",
                   "--user-data-dir=" + profile.path(), "about:blank"});
    QFile activePort(profile.filePath(QStringLiteral("DevToolsActivePort")));
    for (int i = 0; i < 300 && !activePort.open(QIODevice::ReadOnly); ++i)
        spin(100);
    const QList<QByteArray> devTools = activePort.readAll().split('\n');
    ASSERT_GE(devTools.size(), 2);
    QWebSocket cdp;
    QHash<int, QJsonObject> answers;
    QObject::connect(&cdp, &QWebSocket::textMessageReceived, [&answers](const QString& text) {
        const QJsonObject message = QJsonDocument::fromJson(text.toUtf8()).object();
        answers.insert(message.value(QStringLiteral("id")).toInt(), message);
    });
    cdp.open(QUrl(QStringLiteral("ws://127.0.0.1:") + devTools[0] + devTools[1]));
    int lastId = 0;
    QString session;
    // One command of the DevTools protocol; the server answers the page meanwhile.
    const auto command = [&](const QString& method, const QJsonObject& params) {
        QJsonObject message{{"id", ++lastId}, {"method", method}, {"params", params}};
        if (!session.isEmpty())
            message.insert(QStringLiteral("sessionId"), session);
        for (int i = 0; i < 100 && cdp.state() != QAbstractSocket::ConnectedState; ++i)
            spin(50);
        cdp.sendTextMessage(QString::fromUtf8(QJsonDocument(message).toJson()));
        for (int i = 0; i < 400 && !answers.contains(lastId); ++i)
            spin(25);
        return answers.take(lastId).value(QStringLiteral("result")).toObject();
    };
    const auto evaluate = [&](const QString& expression) {
        return command(
                   QStringLiteral("Runtime.evaluate"),
                   {{"expression", expression}, {"returnByValue", true}, {"awaitPromise", true}})
            .value(QStringLiteral("result"))
            .toObject()
            .value(QStringLiteral("value"));
    };
    const auto waitFor = [&](const QString& condition) {
        for (int i = 0; i < 100 && !evaluate(condition).toBool(); ++i)
            spin(50);
    };
    const QString link = QStringLiteral("http://127.0.0.1:%1/ekran/Tatli?anahtar=").arg(port) +
                         QString::fromLatin1(screens.Key(QStringLiteral("Tatli")));
    const QString target = command(QStringLiteral("Target.createTarget"), {{"url", link}})
                               .value(QStringLiteral("targetId"))
                               .toString();
    session =
        command(QStringLiteral("Target.attachToTarget"), {{"targetId", target}, {"flatten", true}})
            .value(QStringLiteral("sessionId"))
            .toString();
    ASSERT_FALSE(session.isEmpty());
    for (int i = 0; i < 200 && screens.StateOf(QStringLiteral("Tatli")).connected == 0; ++i)
        spin(50);
    ASSERT_EQ(screens.StateOf(QStringLiteral("Tatli")).connected, 1);
    evaluate(QStringLiteral("window.sameLoad = true"));

    const auto order = [&](qint64 bill, const QString& product, double quantity,
                           const QString& note = QString()) {
        db.addBill(bill, QStringLiteral("1"), QString::number(bill + 10));
        db.addSaleLine(bill, product, quantity, 10, note);
        db.queueJob(bill, QStringLiteral("0"), QStringLiteral("1"));
    };
    const auto click = [&](const QString& selector) {
        evaluate(QStringLiteral("document.querySelector('%1').click()").arg(selector));
        spin(300);
    };
    const auto paper = [&dir] {
        return QDir(dir.filePath(QStringLiteral("kagit")))
            .entryInfoList({QStringLiteral("*.pdf")}, QDir::Files);
    };
    const QList<ScreenRow> rows{
        {"an order is shown within a second, with no reload, and not printed",
         [&] {
             order(1, QStringLiteral("T1"), 2, QStringLiteral("az şekerli"));
             QElapsedTimer clock;
             clock.start();
             server.TTimer();
             EXPECT_LT(clock.elapsed(), 1000);
             EXPECT_EQ(db.count(QStringLiteral("A_YazimKuyrugu")), 0);
             EXPECT_TRUE(evaluate(QStringLiteral("window.sameLoad === true")).toBool());
         },
         {"Sipariş No: 1", "Salon - 11", "Elif Kaya", "<b>2</b> Künefe<small>az şekerli</small>",
          "2 Künefe", "kart yeni"},
         {},
         0},
        {"a tap crosses an item off",
         [&] { click(QStringLiteral("li")); },
         {"class=\"cizili\"><b>2</b> Künefe"},
         {"2 Künefe"},
         0},
        {"Hazır removes the card, from a second screen of the same name too",
         [&] {
             QTcpSocket second;
             second.connectToHost(QHostAddress::LocalHost, port);
             second.write("GET /ekran/TATLI/akis?anahtar=" + screens.Key("Tatli") +
                          " HTTP/1.1\r\n\r\n");
             order(2, QStringLiteral("T2"), 1);
             server.TTimer();
             click(QStringLiteral("article[data-id=\"1\"] .hazir"));
             const QByteArray events = second.readAll();
             const QByteArray last = events.mid(events.lastIndexOf("data: "));
             EXPECT_TRUE(events.contains("\"Künefe\"") && last.contains("\"Sütlaç\"") &&
                         !last.contains("\"Künefe\""))
                 << events.toStdString();
         },
         {"<b>1</b> Sütlaç", "1 Sütlaç"},
         {"Künefe"},
         0},
        {"a reload brings back the open card and not the bumped one",
         [&] {
             evaluate(QStringLiteral("location.reload()"));
             waitFor(QStringLiteral("document.querySelectorAll('article').length > 0"));
         },
         {"<b>1</b> Sütlaç"},
         {"Künefe"},
         0},
        {"Geri al brings the bumped card back",
         [&] { click(QStringLiteral("#geri")); },
         {"Künefe", "<b>1</b> Sütlaç"},
         {},
         0},
        {"a cancellation shows, its line struck on the open card",
         [&] {
             db.addReturnLine(2, QStringLiteral("T2"), 1, 10);
             db.queueJob(2, QStringLiteral("2"), QStringLiteral("1"));
             server.TTimer();
             spin(300);
         },
         {"class=\"etiket\">İPTAL", "class=\"iptal\"><b>1</b> Sütlaç"},
         {"1 Sütlaç"},
         0},
        {"with the screen closed, the next ticket prints once on the backup printer",
         [&] {
             command(QStringLiteral("Page.navigate"), {{"url", "about:blank"}});
             for (int i = 0; i < 100 && screens.StateOf(QStringLiteral("Tatli")).connected > 0; ++i)
                 spin(50);
             order(3, QStringLiteral("T1"), 1);
             server.TTimer();
             server.TTimer();
             EXPECT_EQ(db.count(QStringLiteral("A_YazimKuyrugu")), 0);
         },
         {},
         {"Künefe"},
         1},
        {"a screen open again takes the tickets once its check passed",
         [&] {
             command(QStringLiteral("Page.navigate"), {{"url", link}});
             spin(PrinterHealth::kCheckIntervalMs + 200);
             order(4, QStringLiteral("T2"), 3);
             server.TTimer();
             spin(300);
         },
         {"<b>3</b> Sütlaç"},
         {},
         1},
        {"a screen that draws nothing, asleep or hidden, sends its ticket to paper after 5 s",
         [&] {
             evaluate(QStringLiteral(
                 "Object.defineProperty(document, 'visibilityState', {value: 'hidden'})"));
             order(5, QStringLiteral("T1"), 4);
             QElapsedTimer clock;
             clock.start();
             server.TTimer();
             EXPECT_GE(clock.elapsed(), KitchenScreens::kDeliveryMs);
             spin(300);
         },
         {"<b>3</b> Sütlaç"},
         {"<b>4</b> Künefe"},
         2},
    };
    for (const ScreenRow& row : rows) {
        SCOPED_TRACE(row.name);
        row.act();
        const QString shown =
            evaluate(QStringLiteral("document.body ? document.body.innerHTML + "
                                    "document.getElementById('sayim').innerText : ''"))
                .toString();
        for (const QString& text : row.shown)
            EXPECT_TRUE(shown.contains(text)) << text.toStdString() << "\n" << shown.toStdString();
        for (const QString& text : row.notShown)
            EXPECT_FALSE(shown.contains(text)) << text.toStdString();
        EXPECT_EQ(paper().size(), row.paperTickets);
    }
    for (const QFileInfo& ticket : paper()) {
        const QString text = RunTool(QStringLiteral("pdftotext"), {ticket.filePath(), "-"}).output;
        EXPECT_TRUE(text.contains(QStringLiteral("YEDEK: Tatli yerine"))) << text.toStdString();
    }
    // What a restarted server reads: the open cards, not the one no page drew.
    CardStore restarted(dir.filePath(QStringLiteral("velmora-gunluk.db")), server.parts().report,
                        log);
    const QList<KitchenCard> cards =
        restarted.OpenCards(QStringLiteral("tatli")).value_or(QList<KitchenCard>());
    QList<qint64> open;
    for (const KitchenCard& card : cards)
        open << card.id;
    EXPECT_EQ(open, QList<qint64>({1, 2, 3, 4}));
    const QStringList logged = dir.lines(QStringLiteral("velmora.log"));
    EXPECT_EQ(logged.filter(QStringLiteral("Yedek: Kagit Hata: Ekran bagli degil")).size(), 2);
    EXPECT_EQ(
        logged.filter(QStringLiteral("Hata: Ekran bagli degil: 5 sn icinde cizilmedi")).size(), 1);
    browser.kill();
    browser.waitForFinished();
}

} // namespace
