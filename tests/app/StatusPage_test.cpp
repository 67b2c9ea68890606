#include "app/PrintServer.h"
#include "app/StatusPageBackend.h"
#include "http/BoundedTcpServer.h"
#include "journal/JournalReader.h"
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
#include <iostream>
#include <memory>
#include <vector>

namespace {

// One request and its answer. A text of shown starting with "!" is one the answer must not show.
struct PageCase {
    const char* name;
    // %S the session cookie (the guarded page's for its cases), %T its form token
    QByteArray request;
    int status;
    QStringList shown;
    int newTickets = 0;   // PDF files the request adds on Mutfak
    int times = 1;        // sent so often, the last answer counts; to the guarded page each time
                          // from another loopback address
    int held = 0;         // connections one other address holds open meanwhile
    int laterSeconds = 0; // the guarded page's clock moves on so far first
};

// The status page of a server that printed a small evening, asked over a loopback port as a
// browser would, and asked badly.
TEST(StatusPage, ServesTheEveningAndItsActionsOnlyToItsSession) {
    const auto freePort = [] {
        QTcpServer probe;
        return probe.listen(QHostAddress::LocalHost) ? probe.serverPort() : quint16(0);
    };
    const quint16 port = freePort();
    const quint16 guardedPort = freePort();
    const quint16 keyedPort = freePort();
    ASSERT_TRUE(port != 0 && guardedPort != 0 && keyedPort != 0);
    ServerDirectory dir;
    dir.write(QStringLiteral("Velmora.ini"), "[Durum Sayfasi]\r\nPort=" + QByteArray::number(port));
    TestDatabase& db = dir.database();
    db.seedKitchen(QStringLiteral("pdf:mutfak"), 0);
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
    db.exec(QStringLiteral("INSERT INTO A_Yazicilar VALUES ('Tatli', 'ekran:Tatli')"));
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
    const auto logged = [&dir](const QString& pattern) {
        return dir.lines(QStringLiteral("velmora.log")).filter(QRegularExpression(pattern)).size();
    };
    EXPECT_EQ(logged(QStringLiteral("Fis gunlugu yazilamadi, yazdirma suruyor")), 1);
    EXPECT_EQ(logged(QStringLiteral("Fis gunlugu yeniden yaziliyor")), 1);

    const auto send = [](const QByteArray& raw, const QHostAddress& host, quint16 to,
                         const QHostAddress& from = QHostAddress::LocalHost) {
        QTcpSocket socket;
        socket.bind(from);
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
        socket.connectToHost(host, to);
        socket.write(raw);
        loop.exec();
        return answer;
    };
    const auto mutfakTickets = [&dir] {
        return QDir(dir.filePath(QStringLiteral("mutfak")))
            .entryInfoList({QStringLiteral("*.pdf")}, QDir::Files, QDir::Name);
    };

    const QByteArray first =
        send("GET / HTTP/1.1\r\nHost: 127.0.0.1\r\n\r\n", QHostAddress::LocalHost, port);
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
    JournalEntry huge;
    huge.time = QDateTime::currentDateTime();
    huge.bill = QStringLiteral("99");
    huge.lines = {QString(550 * 1024, QLatin1Char('x'))};
    server.parts().journal.Record(huge);
    const JournalReader journal(server.parts().journal.filePath(), server.parts().report, log);
    const QByteArray hugeId =
        QByteArray::number(journal.Search(QDate::currentDate(), "99", 1)[0].id);
    // The same server behind a password, with a journal that cannot be read and a clock that
    // moves only when told.
    StatusPageBackend guardedBackend(server.parts(), dir.path(), [] {});
    const QString metricsKey = QStringLiteral("anahtar-0123456789");
    const auto pageSettings = [&metricsKey](quint16 onPort, const QString& password) {
        StatusPageSettings settings{onPort, password};
        settings.metricsToken = metricsKey;
        return settings;
    };
    StatusWebServer guarded(pageSettings(guardedPort, QStringLiteral("sifre123")), PrintSettings(),
                            guardedBackend, server.parts().screens, log);
    QDateTime now = QDateTime::currentDateTimeUtc();
    guarded.sessions().setClock([&now] { return now; });
    ASSERT_TRUE(guarded.Listen().isEmpty());
    // A metrics key without a password opens the port to the network for /metrics alone.
    StatusWebServer keyed(pageSettings(keyedPort, QString()), PrintSettings(), guardedBackend,
                          server.parts().screens, log);
    ASSERT_TRUE(keyed.Listen().isEmpty());
    QHostAddress network;
    for (const QHostAddress& address : QNetworkInterface::allAddresses()) {
        if (!address.isLoopback() && address.protocol() == QAbstractSocket::IPv4Protocol)
            network = address;
    }
    const QByteArray login = "POST /giris HTTP/1.1\r\nContent-Length: 14\r\n\r\nsifre=sifre123";
    const QByteArray guess = "POST /giris HTTP/1.1\r\nContent-Length: 12\r\n\r\nsifre=tahmin";
    const QByteArray guardedCookie =
        QRegularExpression(QStringLiteral("velmora_oturum=[0-9a-f]+"))
            .match(QString::fromLatin1(send(login, QHostAddress::LocalHost, guardedPort)))
            .captured(0)
            .toLatin1();
    const QString today = QDate::currentDate().toString(QStringLiteral("dd.MM "));
    const int maxConnections = BoundedTcpServer::kMaxConnections;
    const int forgetFailures = WebSessions::kForgetFailuresMinutes * 60 + 1;
    // The end of the request line and the session cookie, and a form's head after them.
    const QByteArray get = " HTTP/1.1\r\n%S";
    const QByteArray form = get + "Content-Length: %L\r\n\r\n";
    const QByteArray reprintOf = "POST /tekrar" + form + "id=1&yazici=";
    const QByteArray testPage = "POST /test" + form + "yazici=";
    const QList<PageCase> cases{
        // The pages, escaped, without a login on this machine.
        {"printers",
         "GET /" + get,
         200,
         {"\">Mutfak<br><small>pdf:mutfak</small></td><td data-k=\"Tür\">PDF klasörü</td>",
          "Çalışıyor", "\">Bar<br>", "Kağıt azalıyor", "\"Son fiş\">" + today,
          "class=\"hata\">Bulunamadı</td>", "Mutfak ekranı", "/ekran/Tatli\">",
          "yalnızca bu bilgisayarda", "!Calisiyor", "!anahtar="}},
        {"a screen on this machine needs no key",
         "GET /ekran/Tatli" + get,
         200,
         {"data-name=\"Tatli\"", "/ekran.js"}},
        {"a screen not in A_Yazicilar", "GET /ekran/Yok" + get, 404, {}},
        {"queue",
         "GET /kuyruk" + get,
         200,
         {">8</td><td data-k=\"Masa\">14</td><td data-k=\"Tür\">Üretim", "!>7</td>"}},
        {"journal",
         "GET /gunluk" + get,
         200,
         {"\">7</td><td data-k=\"Masa\">12</td><td data-k=\"Tür\">Üretim",
          "\">9</td><td data-k=\"Masa\">15</td>", "Basıldı", "Yazici Bulunamadi"}},
        {"search", "GET /gunluk?ara=15" + get, 200, {"\">9</td><td", "!\">7</td>"}},
        {"escaped note",
         "GET /fis?id=1" + get,
         200,
         {"&lt;script&gt;alert(1)&lt;/script&gt;", "!<script>alert"}},
        {"picture", "GET /fis.png?id=1" + get, 200, {"image/png", "IHDR"}},
        {"picture of a huge ticket", "GET /fis.png?id=" + hugeId + get, 413, {}},
        {"cookie-less requests", "GET /gunluk HTTP/1.1\r\n", 200, {}, 0, 70},
        // The actions, only with the session and its token.
        {"no token", reprintOf + "Mutfak", 403, {}},
        {"no session",
         "POST /tekrar HTTP/1.1\r\nContent-Length: %L\r\n\r\nid=1&yazici=Mutfak&token=%T",
         403,
         {}},
        {"reprint", reprintOf + "Mutfak&token=%T", 200, {"Tekrar basım gönderildi: Mutfak"}, 1},
        {"reprint on a printer not installed",
         reprintOf + "Teras&token=%T",
         502,
         {"Yazdırılamadı: Yazıcı bulunamadı: TERAS-YAZICISI"}},
        {"test page", testPage + "Mutfak&token=%T", 200, {"Test sayfası gönderildi"}, 1},
        {"test page of another spelling",
         testPage + "MUTFAK&token=%T",
         200,
         {"Test sayfası gönderildi: Mutfak"},
         1},
        {"unknown printer", testPage + "Yok&token=%T", 400, {}},
        {"retry",
         "POST /yeniden-dene" + form + "token=%T",
         200,
         {"Bekleyen işler yeniden deneniyor"}},
        // The minute's actions, the print on Teras and the retry among them.
        {"reprint burst",
         reprintOf + "Mutfak&token=%T",
         429,
         {"Çok fazla baskı istendi"},
         WebSessions::kActionsPerMinute - 5,
         WebSessions::kActionsPerMinute},
        // Requests refused.
        {"bad number", "GET /fis?id=1x" + get, 400, {}},
        {"outside", "GET /../../etc/passwd" + get, 404, {"!root:"}},
        {"bad method", "DELETE /" + get, 405, {}},
        {"bad encoding", "GET /gunluk?ara=%ZZ%FF%C3" + get, 200, {"Bugün fiş yok"}},
        {"long path", "GET /" + QByteArray(5000, 'a') + get, 414, {}},
        {"huge body",
         "POST /test" + get + "Content-Length: 307200\r\n\r\n" + QByteArray(300 * 1024, 'x'),
         413,
         {}},
        {"foreign host", "GET / HTTP/1.1\r\nHost: evil.example:80\r\n", 403, {"!Mutfak"}},
        // Its figures, on this machine only.
        {"metrics on this machine",
         "GET /metrics HTTP/1.1\r\n",
         200,
         {"text/plain; version=0.0.4", "velmora_printer_up{printer=\"Mutfak\"} 1",
          "velmora_printer_up{printer=\"Teras\"} 0", "velmora_queue_jobs 1", "velmora_active 1",
          "velmora_tickets_printed_total{printer=\"Mutfak\"} ",
          "velmora_order_to_paper_seconds_bucket{printer=\"Mutfak\",le=\"+Inf\"} "}},
    };
    const QList<PageCase> guardedCases{
        {"slow connections from one address", login, 303, {}, 0, 1, maxConnections},
        {"unreadable journal",
         "GET /gunluk" + get,
         200,
         {"Fiş günlüğü okunamadı", "!Bugün fiş yok"}},
        {"guesses from many addresses", guess, 429, {"Çok fazla hatalı deneme"}, 0, 30},
        {"lock-out ends by itself", login, 303, {}, 0, 1, 0, WebSessions::kMaxLockoutSeconds},
        {"a screen by its key, beside connections another address holds",
         "GET /ekran/Tatli?anahtar=%K HTTP/1.1\r\n",
         200,
         {"data-name=\"Tatli\""},
         0,
         1,
         maxConnections},
        {"the screens' links with their keys and QR codes",
         "GET /" + get,
         200,
         {"/ekran/Tatli?anahtar=", "<svg class=\"qr\""}},
        {"a screen without its key",
         "GET /ekran/Tatli HTTP/1.1\r\n",
         403,
         {"!Tatli"},
         0,
         1,
         0,
         forgetFailures},
        {"a wrong key gets nothing",
         "GET /ekran/Tatli/akis?anahtar=0123 HTTP/1.1\r\n",
         403,
         {"!Tatli", "!event-stream"},
         0,
         1,
         0,
         forgetFailures},
        {"keys guessed from many addresses",
         "POST /ekran/Tatli/hazir HTTP/1.1\r\nContent-Length: %L\r\n\r\nkart=1&anahtar=0123",
         429,
         {},
         0,
         30},
    };
    // From this machine's address on the network: the open page, the guarded one, and one
    // with a metrics key alone, which opens /metrics to the network and nothing else.
    const QList<PageCase> networkCases{
        {"metrics from another address", "GET /metrics HTTP/1.1\r\n", 403, {"!velmora_"}}};
    const QList<PageCase> guardedNetworkCases{
        {"the page's password is a wrong metrics key, and one waits as a wrong password does",
         "GET /metrics" + get + "Authorization: Bearer sifre123\r\n",
         429,
         {"Retry-After: ", "!velmora_"},
         0,
         2},
        {"the metrics key opens it to the network",
         "GET /metrics HTTP/1.1\r\nAuthorization: Bearer " + metricsKey.toUtf8() + "\r\n",
         200,
         {"velmora_printer_up{printer=\"Mutfak\"} 1"},
         0,
         1,
         0,
         WebSessions::kMaxLockoutSeconds}};
    const QList<PageCase> keyedNetworkCases{
        {"a metrics key opens no page to the network", "GET / HTTP/1.1\r\n", 403, {"!Mutfak"}}};
    const struct {
        quint16 port;
        QByteArray cookie;
        bool fromNetwork; // from this machine's address on the network, not loopback
        const QList<PageCase>& cases;
    } pages[] = {{port, cookie, false, cases},
                 {guardedPort, guardedCookie, false, guardedCases},
                 {port, QByteArray(), true, networkCases},
                 {guardedPort, guardedCookie, true, guardedNetworkCases},
                 {keyedPort, QByteArray(), true, keyedNetworkCases}};
    for (const auto& [to, session, fromNetwork, group] : pages) {
        for (const PageCase& page : group) {
            SCOPED_TRACE(page.name);
            if (fromNetwork && network.isNull()) {
                std::cout << "status page (" << page.name << "): no network address here\n";
                continue;
            }
            const qsizetype before = mutfakTickets().size();
            QByteArray raw = page.request;
            raw.replace("%S", "Cookie: " + session + "\r\n").replace("%T", token);
            raw.replace("%K", server.parts().screens.Key(QStringLiteral("Tatli")));
            raw.replace("%L", QByteArray::number(raw.size() - raw.indexOf("\r\n\r\n") - 4));
            if (!raw.contains("\r\n\r\n"))
                raw += "\r\n";
            now = now.addSecs(page.laterSeconds);
            std::vector<std::unique_ptr<QTcpSocket>> held(page.held);
            for (auto& socket : held) {
                socket = std::make_unique<QTcpSocket>();
                socket->bind(QHostAddress(QStringLiteral("127.0.0.9")));
                socket->connectToHost(QHostAddress::LocalHost, to);
                socket->write("GET / HTTP/1.1\r\n");
            }
            QByteArray answer;
            for (int i = 0; i < page.times; ++i) {
                // Guesses at the guarded page come from ever other addresses.
                const bool spread = to == guardedPort && page.times > 1 && !fromNetwork;
                answer = send(raw, QHostAddress::LocalHost, to,
                              fromNetwork ? network
                              : spread    ? QHostAddress(QStringLiteral("127.0.1.%1").arg(i + 1))
                                          : QHostAddress(QHostAddress::LocalHost));
            }
            EXPECT_EQ(answer.mid(9, 3).toInt(), page.status);
            for (const QString& text : page.shown) {
                const bool absent = text.startsWith(QLatin1Char('!'));
                EXPECT_NE(answer.contains(text.mid(absent ? 1 : 0).toUtf8()), absent)
                    << text.toStdString();
            }
            EXPECT_EQ(mutfakTickets().size() - before, page.newTickets);
        }
    }

    // The reprint came out once under its heading, the test pages after it; none marked a line
    // nor touched the queue, and all are in the journal. Beside the evening's two tickets, every
    // action of the minute's quota printed but the one on Teras and the retry.
    const QFileInfoList tickets = mutfakTickets();
    ASSERT_EQ(tickets.size(), 2 + WebSessions::kActionsPerMinute - 2);
    const QString reprint =
        RunTool(QStringLiteral("pdftotext"), {tickets.at(2).filePath(), "-"}).output;
    EXPECT_TRUE(reprint.trimmed().startsWith(QStringLiteral("TEKRAR BASIM")))
        << reprint.toStdString();
    EXPECT_TRUE(reprint.contains(QStringLiteral("<script>alert(1)</script>")));
    EXPECT_EQ(db.count(QStringLiteral("A_AdsSatir"), QStringLiteral("SIP=1")), 4);
    EXPECT_EQ(db.count(QStringLiteral("A_YazimKuyrugu")), 1);
    EXPECT_EQ(logged(QStringLiteral("Bekleyen isler yeniden deneniyor")), 1);
    // A flood of idle connections is cut at the limit; the page answers once they are gone.
    const auto settle = [] {
        QEventLoop loop;
        QTimer::singleShot(300, &loop, &QEventLoop::quit);
        loop.exec();
    };
    settle(); // the requests' own connections close
    std::vector<std::unique_ptr<QTcpSocket>> flood(BoundedTcpServer::kMaxConnections + 4);
    for (size_t i = 0; i < flood.size(); ++i) {
        flood[i] = std::make_unique<QTcpSocket>();
        flood[i]->bind(QHostAddress(QStringLiteral("127.0.0.%1").arg(10 + i % 5)));
        flood[i]->connectToHost(QHostAddress::LocalHost, port);
    }
    settle();
    EXPECT_EQ(std::count_if(flood.begin(), flood.end(),
                            [](const auto& socket) {
                                return socket->state() != QAbstractSocket::ConnectedState;
                            }),
              4);
    flood.clear();
    settle();
    const QByteArray journalPage = send("GET /gunluk HTTP/1.1\r\nCookie: " + cookie + "\r\n\r\n",
                                        QHostAddress::LocalHost, port);
    EXPECT_TRUE(journalPage.contains(">Tekrar basım</td>"));
    EXPECT_TRUE(journalPage.contains(">Test sayfası</td>"));
    EXPECT_EQ(logged(QStringLiteral("Fis gunlugu okunamadi -- .+: \\S")), 1);

    // A real browser renders the printers and the journal; the server answers it meanwhile.
    // On a phone-sized screen each page fits its width, the reprint button within reach.
    const QTemporaryDir profile;
    QFile phone(profile.filePath(QStringLiteral("telefon.html")));
    ASSERT_TRUE(phone.open(QIODevice::WriteOnly));
    phone.write(QStringLiteral(
                    "<body style=margin:0><iframe id=f style='width:360px;height:600px;border:0'>"
                    "</iframe><p id=r></p><script>(async()=>{for(const p of ['','kuyruk',"
                    "'gunluk','fis?id=1']){const t=await(await fetch('http://127.0.0.1:%1/'+p))"
                    ".text();await new Promise(ok=>{f.onload=ok;f.srcdoc=t});const d=f."
                    "contentDocument,b=[...d.querySelectorAll('button')].pop();r.textContent+="
                    "' '+p+'='+Math.max(d.documentElement.scrollWidth,Math.ceil(b.getBounding"
                    "ClientRect().right))}})()</script>")
                    .arg(port)
                    .toUtf8());
    phone.close();
    for (const auto& [page, shown] :
         {std::pair(QStringLiteral("http://127.0.0.1:%1/").arg(port), QStringLiteral("pdf:mutfak")),
          std::pair(QStringLiteral("http://127.0.0.1:%1/gunluk").arg(port),
                    QStringLiteral("Basıldı")),
          std::pair(QUrl::fromLocalFile(phone.fileName()).toString(),
                    QStringLiteral("fis?id=1="))}) {
        QProcess browser;
        QEventLoop loop;
        QObject::connect(&browser, &QProcess::finished, &loop, &QEventLoop::quit);
        QTimer::singleShot(60000, &loop, &QEventLoop::quit);
        browser.start(QStringLiteral("chromium"),
                      {"--headless", "--no-sandbox", "--disable-gpu", "--window-size=360,740",
                       "--disable-web-security", "--virtual-time-budget=20000",
                       "--user-data-dir=" + profile.path(), "--dump-dom", page});
        loop.exec();
        const QString dom = QString::fromUtf8(browser.readAllStandardOutput());
        EXPECT_TRUE(dom.contains(shown)) << page.toStdString();
        auto widths = QRegularExpression(QStringLiteral("=(\\d+)(?= |<)")).globalMatch(dom);
        while (widths.hasNext())
            EXPECT_LE(widths.next().captured(1).toInt(), 360) << dom.toStdString();
    }

    // Without a password the restaurant's network gets no answer at all.
    for (const QHostAddress& address : QNetworkInterface::allAddresses()) {
        if (address.isLoopback() || address.protocol() != QAbstractSocket::IPv4Protocol)
            continue;
        SCOPED_TRACE(address.toString().toStdString());
        EXPECT_TRUE(send("GET / HTTP/1.1\r\n\r\n", address, port).isEmpty());
    }
}

} // namespace
