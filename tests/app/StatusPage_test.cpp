#include "app/PrintServer.h"
#include "log/DiagnosticLog.h"
#include "support/EscPosEmulator.h"
#include "support/ExternalTool.h"
#include "support/RecordingMessages.h"
#include "support/ServerDirectory.h"
#include "web/StatusWebServer.h"

#include <QDir>
#include <QEventLoop>
#include <QNetworkInterface>
#include <QProcess>
#include <QRegularExpression>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTemporaryDir>
#include <QTimer>
#include <algorithm>
#include <gtest/gtest.h>
#include <memory>
#include <vector>

namespace {

struct PageCase {
    const char* name;
    QByteArray request; // %S the session cookie, %T its form token
    int status;
    QStringList shown;
    QStringList notShown;
    int newTickets; // PDF files the request adds on Mutfak
};

// The status page of a server that printed a small evening, asked over a loopback port as a
// browser would, and asked badly.
TEST(StatusPage, ServesTheEveningAndItsActionsOnlyToItsSession) {
    ServerDirectory dir;
    QTcpServer probe;
    ASSERT_TRUE(probe.listen(QHostAddress::LocalHost));
    const quint16 port = probe.serverPort();
    probe.close();
    dir.write(QStringLiteral("Velmora.ini"), "[Durum Sayfasi]\r\nPort=" + QByteArray::number(port));
    TestDatabase& db = dir.database();
    db.exec(QStringLiteral("INSERT INTO A_Yazicilar VALUES ('Mutfak', 'pdf:mutfak')"));
    db.exec(QStringLiteral("INSERT INTO AYAR VALUES ('POS', 'Sistem', "
                           "'Server calisma araligi (x snde bir)', '0')"));
    db.addProduct(QStringLiteral("K1"), QStringLiteral("Köfte"), QStringLiteral("Mutfak"));
    db.addBill(7, QStringLiteral("1"), QStringLiteral("12"));
    db.addSaleLine(7, QStringLiteral("K1"), 2, 20, QStringLiteral("<script>alert(1)</script>"));
    db.queueJob(7, QStringLiteral("0"));
    db.addBill(9, QStringLiteral("1"), QStringLiteral("15"));
    db.addSaleLine(9, QStringLiteral("K1"), 1, 10);
    EscPosEmulator bar;
    bar.set(EscPosEmulator::Condition::PaperNearEnd);
    db.exec(QStringLiteral("INSERT INTO A_Yazicilar VALUES ('Bar', '%1')").arg(bar.path()));
    db.addProduct(QStringLiteral("B1"), QStringLiteral("Ayran"), QStringLiteral("Bar"));
    db.addSaleLine(9, QStringLiteral("B1"), 1, 5);
    db.exec(QStringLiteral("INSERT INTO A_Yazicilar VALUES ('Teras', 'TERAS-YAZICISI')"));
    db.addProduct(QStringLiteral("T1"), QStringLiteral("Çay"), QStringLiteral("Teras"));
    db.addSaleLine(9, QStringLiteral("T1"), 1, 5); // on a printer nobody installed
    db.queueJob(9, QStringLiteral("0"));
    db.addBill(8, QStringLiteral("1"), QStringLiteral("14"));
    db.addSaleLine(8, QStringLiteral("K1"), 1, 10);
    db.queueJob(8, QStringLiteral("0"));
    RecordingMessages messages;
    DiagnosticLog log(dir.logPath());
    PrintServer server(dir.path(), log, messages, NoPauseNoRates());
    ASSERT_EQ(server.FormCreate(), StartupOutcome::Running);
    // A journal that cannot be written holds up no ticket, is reported once and catches up.
    const QString journalFile = dir.filePath(QStringLiteral("velmora-gunluk.db"));
    ASSERT_TRUE(QDir().mkdir(journalFile));
    server.TTimer(); // bill 7
    ASSERT_TRUE(QDir().rmdir(journalFile));
    server.TTimer(); // bill 9; bill 8 stays queued
    const QStringList logged = dir.lines(QStringLiteral("velmora.log"));
    EXPECT_EQ(logged.filter(QStringLiteral("Fis gunlugu yazilamadi, yazdirma suruyor")).size(), 1);
    EXPECT_EQ(logged.filter(QStringLiteral("Fis gunlugu yeniden yaziliyor")).size(), 1);

    const auto send = [port](const QByteArray& raw, const QHostAddress& host) {
        QTcpSocket socket;
        QByteArray answer;
        QEventLoop loop;
        QObject::connect(&socket, &QTcpSocket::readyRead, [&] {
            answer += socket.readAll();
            const qsizetype end = answer.indexOf("\r\n\r\n");
            const auto length = QRegularExpression(QStringLiteral("Content-Length: (\\d+)"))
                                    .match(QString::fromLatin1(answer.left(end)));
            if (end >= 0 && length.hasMatch() &&
                answer.size() >= end + 4 + length.captured(1).toInt())
                loop.quit();
        });
        QObject::connect(&socket, &QTcpSocket::disconnected, &loop, &QEventLoop::quit);
        QObject::connect(&socket, &QTcpSocket::errorOccurred, &loop, &QEventLoop::quit);
        QTimer::singleShot(5000, &loop, &QEventLoop::quit);
        socket.connectToHost(host, port);
        socket.write(raw);
        loop.exec();
        return answer;
    };
    const auto status = [](const QByteArray& answer) {
        return answer.mid(9, 3).toInt();
    };
    const auto mutfakTickets = [&dir] {
        return QDir(dir.filePath(QStringLiteral("mutfak")))
            .entryInfoList({QStringLiteral("*.pdf")}, QDir::Files, QDir::Name);
    };

    const QByteArray first =
        send("GET / HTTP/1.1\r\nHost: 127.0.0.1\r\n\r\n", QHostAddress::LocalHost);
    const QByteArray cookie =
        QRegularExpression(QStringLiteral("Set-Cookie: (velmora_oturum=[0-9a-f]+); HttpOnly; "
                                          "SameSite=Strict"))
            .match(QString::fromLatin1(first))
            .captured(1)
            .toLatin1();
    const QByteArray token =
        QRegularExpression(QStringLiteral("name=\"token\" value=\"([0-9a-f]+)"))
            .match(QString::fromUtf8(first))
            .captured(1)
            .toLatin1();
    ASSERT_FALSE(cookie.isEmpty()) << first.constData();
    ASSERT_FALSE(token.isEmpty());
    const QByteArray hugeBody(300 * 1024, 'x');
    const QList<PageCase> cases{
        {"printers",
         "GET / HTTP/1.1\r\n%S",
         200,
         {"<td>Mutfak<br><small>pdf:mutfak</small></td><td>PDF klasoru</td>", "Calisiyor",
          "<td>Bar<br>", "Kagit azaliyor"},
         {},
         0},
        {"queue",
         "GET /kuyruk HTTP/1.1\r\n%S",
         200,
         {"<td>8</td><td>14</td><td>Uretim"},
         {"<td>7</td>"},
         0},
        {"journal",
         "GET /gunluk HTTP/1.1\r\n%S",
         200,
         {"<td>7</td><td>12</td><td>Uretim", "<td>9</td><td>15</td>", "Basildi",
          "Yazici Bulunamadi"},
         {},
         0},
        {"search",
         "GET /gunluk?ara=15 HTTP/1.1\r\n%S",
         200,
         {"<td>9</td><td>15</td>"},
         {"<td>7</td>"},
         0},
        {"escaped note",
         "GET /fis?id=1 HTTP/1.1\r\n%S",
         200,
         {"&lt;script&gt;alert(1)&lt;/script&gt;"},
         {"<script>alert"},
         0},
        {"picture", "GET /fis.png?id=1 HTTP/1.1\r\n%S", 200, {"image/png", "IHDR"}, {}, 0},
        {"no token",
         "POST /tekrar HTTP/1.1\r\n%SContent-Length: %L\r\n\r\nid=1&yazici=Mutfak",
         403,
         {},
         {},
         0},
        {"no session",
         "POST /tekrar HTTP/1.1\r\nContent-Length: %L\r\n\r\nid=1&yazici=Mutfak&token=%T",
         403,
         {},
         {},
         0},
        {"reprint",
         "POST /tekrar HTTP/1.1\r\n%SContent-Length: %L\r\n\r\nid=1&yazici=Mutfak&token=%T",
         200,
         {"Tekrar basim gonderildi: Mutfak"},
         {},
         1},
        {"reprint on a printer not installed",
         "POST /tekrar HTTP/1.1\r\n%SContent-Length: %L\r\n\r\nid=1&yazici=Teras&token=%T",
         502,
         {"Yazdirilamadi: Yazici Bulunamadi: TERAS-YAZICISI"},
         {},
         0},
        {"test page",
         "POST /test HTTP/1.1\r\n%SContent-Length: %L\r\n\r\nyazici=Mutfak&token=%T",
         200,
         {"Test sayfasi gonderildi"},
         {},
         1},
        {"unknown printer",
         "POST /test HTTP/1.1\r\n%SContent-Length: %L\r\n\r\nyazici=Yok&token=%T",
         400,
         {},
         {},
         0},
        {"retry",
         "POST /yeniden-dene HTTP/1.1\r\n%SContent-Length: %L\r\n\r\ntoken=%T",
         200,
         {"Bekleyen isler yeniden deneniyor"},
         {},
         0},
        {"bad number", "GET /fis?id=1x HTTP/1.1\r\n%S", 400, {}, {}, 0},
        {"outside", "GET /../../etc/passwd HTTP/1.1\r\n%S", 404, {}, {"root:"}, 0},
        {"bad method", "DELETE / HTTP/1.1\r\n%S", 405, {}, {}, 0},
        {"bad encoding", "GET /gunluk?ara=%ZZ%FF%C3 HTTP/1.1\r\n%S", 200, {"Bugun fis yok"}, {}, 0},
        {"long path", "GET /" + QByteArray(5000, 'a') + " HTTP/1.1\r\n%S", 414, {}, {}, 0},
        {"huge body",
         "POST /test HTTP/1.1\r\n%SContent-Length: 307200\r\n\r\n" + hugeBody,
         413,
         {},
         {},
         0},
        {"foreign host", "GET / HTTP/1.1\r\nHost: evil.example:80\r\n", 403, {}, {"Mutfak"}, 0},
    };
    for (const PageCase& page : cases) {
        SCOPED_TRACE(page.name);
        const qsizetype before = mutfakTickets().size();
        QByteArray raw = page.request;
        raw.replace("%S", "Cookie: " + cookie + "\r\n").replace("%T", token);
        raw.replace("%L", QByteArray::number(raw.size() - raw.indexOf("\r\n\r\n") - 4));
        if (!raw.contains("\r\n\r\n"))
            raw += "\r\n";
        const QByteArray answer = send(raw, QHostAddress::LocalHost);
        EXPECT_EQ(status(answer), page.status);
        for (const QString& text : page.shown)
            EXPECT_TRUE(answer.contains(text.toUtf8())) << text.toStdString();
        for (const QString& text : page.notShown)
            EXPECT_FALSE(answer.contains(text.toUtf8())) << text.toStdString();
        EXPECT_EQ(mutfakTickets().size() - before, page.newTickets);
    }

    // The reprint came out once under its heading, the test page after it; neither marked a line
    // nor touched the queue, and both are in the journal.
    const QFileInfoList tickets = mutfakTickets();
    ASSERT_EQ(tickets.size(), 4);
    const QString reprint =
        RunTool(QStringLiteral("pdftotext"), {tickets.at(2).filePath(), "-"}).output;
    EXPECT_TRUE(reprint.trimmed().startsWith(QStringLiteral("TEKRAR BASIM")))
        << reprint.toStdString();
    EXPECT_TRUE(reprint.contains(QStringLiteral("<script>alert(1)</script>")));
    EXPECT_EQ(db.count(QStringLiteral("A_AdsSatir"), QStringLiteral("SIP=1")), 4);
    EXPECT_EQ(db.count(QStringLiteral("A_YazimKuyrugu")), 1);
    EXPECT_EQ(dir.lines(QStringLiteral("velmora.log"))
                  .filter(QStringLiteral("Bekleyen isler yeniden deneniyor"))
                  .size(),
              1);
    // A flood of idle connections is cut at the limit; the page answers once they are gone.
    const auto settle = [] {
        QEventLoop loop;
        QTimer::singleShot(300, &loop, &QEventLoop::quit);
        loop.exec();
    };
    settle(); // the requests' own connections close
    std::vector<std::unique_ptr<QTcpSocket>> flood(StatusWebServer::kMaxConnections + 4);
    for (auto& socket : flood) {
        socket = std::make_unique<QTcpSocket>();
        socket->connectToHost(QHostAddress::LocalHost, port);
    }
    settle();
    EXPECT_EQ(std::count_if(flood.begin(), flood.end(),
                            [](const auto& socket) {
                                return socket->state() != QAbstractSocket::ConnectedState;
                            }),
              4);
    flood.clear();
    settle();
    const QByteArray journal =
        send("GET /gunluk HTTP/1.1\r\nCookie: " + cookie + "\r\n\r\n", QHostAddress::LocalHost);
    EXPECT_TRUE(journal.contains("<td>Tekrar basim</td>"));
    EXPECT_TRUE(journal.contains("<td>Test sayfasi</td>"));

    // A real browser renders the printers and the journal; the server answers it meanwhile.
    const QTemporaryDir profile;
    for (const auto& [page, shown] :
         {std::pair("", "pdf:mutfak"), std::pair("gunluk", "Basildi")}) {
        QProcess browser;
        QEventLoop loop;
        QObject::connect(&browser, &QProcess::finished, &loop, &QEventLoop::quit);
        QTimer::singleShot(60000, &loop, &QEventLoop::quit);
        browser.start(QStringLiteral("chromium"),
                      {"--headless", "--no-sandbox", "--disable-gpu",
                       "--user-data-dir=" + profile.path(), "--dump-dom",
                       QStringLiteral("http://127.0.0.1:%1/%2").arg(port).arg(page)});
        loop.exec();
        EXPECT_TRUE(browser.readAllStandardOutput().contains(shown)) << page;
    }

    // Without a password the restaurant's network gets no answer at all.
    for (const QHostAddress& address : QNetworkInterface::allAddresses()) {
        if (address.isLoopback() || address.protocol() != QAbstractSocket::IPv4Protocol)
            continue;
        SCOPED_TRACE(address.toString().toStdString());
        EXPECT_TRUE(send("GET / HTTP/1.1\r\n\r\n", address).isEmpty());
    }
}

} // namespace
