#include "journal/TicketJournal.h"
#include "log/DiagnosticLog.h"
#include "status/OperatorReport.h"
#include "support/CannedHttpServer.h"
#include "support/ServerDirectory.h"
#include "support/ServerProcess.h"

#include <QDeadlineTimer>
#include <QEventLoop>
#include <QFile>
#include <QSslConfiguration>
#include <QSslSocket>
#include <QTimer>
#include <functional>
#include <gtest/gtest.h>
#include <memory>
#include <vector>

#ifdef Q_OS_WIN
#include <windows.h>
#endif

namespace {

struct LanCase {
    const char* name;
    QByteArray request; // %S: the manager's session cookie
    int status;
    QStringList shown;
    bool closes;                 // the server ends the connection once it has answered
    int held = 0;                // connections four other addresses hold meanwhile
    QByteArray heldRequest = {}; // a whole request leaves them idle, a part of one slow
};

bool Spin(const std::function<bool()>& done, int milliseconds) {
    const QDeadlineTimer deadline(milliseconds);
    while (!done() && !deadline.hasExpired()) {
        QEventLoop loop;
        QTimer::singleShot(10, &loop, &QEventLoop::quit);
        loop.exec();
    }
    return done();
}

// The real server with a password and HTTPS, asked over TLS with the certificate it made as the
// only one trusted, from loopback addresses standing for the hosts of a shared network.
TEST(SharedLan, ThePageOverHttpsServesTheManagerWhateverOthersHold) {
    ServerDirectory dir;
    const quint16 port = CannedHttpServer::ClosedPort();
    const QByteArray page =
        "[Durum Sayfasi]\r\nPort=" + QByteArray::number(port) + "\r\nHTTPS=1\r\n";
    dir.write(QStringLiteral("Velmora.ini"), page + "Sifre=dogru-sifre\r\n");
    DiagnosticLog log(dir.logPath());
    JournalEntry huge;
    huge.time = QDateTime::currentDateTime();
    huge.lines = {QString(100 * 1024, QLatin1Char('x'))};
    OperatorReport report(log);
    TicketJournal(dir.filePath(QStringLiteral("velmora-gunluk.db")), report, log).Record(huge);
    QProcess server;
    server.start(InstallServer(QStringLiteral(VELMORA_EXECUTABLE), dir.path()), {});
    ASSERT_TRUE(
        Spin([&] { return dir.read(QStringLiteral("velmora.log")).contains("parmak"); }, 30000));
    const QList<QSslCertificate> made =
        QSslCertificate::fromPath(dir.filePath(QStringLiteral("velmora-sertifika.pem")));
    ASSERT_EQ(made.size(), 1);
    EXPECT_TRUE(dir.read(QStringLiteral("velmora.log"))
                    .contains("SHA-256 parmak izi " +
                              made[0].digest(QCryptographicHash::Sha256).toHex(':').toUpper()));
#ifndef Q_OS_WIN
    EXPECT_EQ(QFile::permissions(dir.filePath(QStringLiteral("velmora-anahtar.pem"))),
              QFile::ReadOwner | QFile::WriteOwner | QFile::ReadUser | QFile::WriteUser);
#endif

    const auto open = [&](const QString& from) {
        auto socket = std::make_unique<QSslSocket>();
        QSslConfiguration trust = socket->sslConfiguration();
        trust.setCaCertificates(made);
        socket->setSslConfiguration(trust);
        socket->bind(QHostAddress(from));
        socket->connectToHostEncrypted(QStringLiteral("127.0.0.1"), port);
        Spin(
            [&] {
                return socket->isEncrypted() || socket->state() == QSslSocket::UnconnectedState;
            },
            10000);
        return socket;
    };
    // The answer, once its body is as long as it says or the server has hung up.
    const auto ask = [](QSslSocket& socket, const QByteArray& raw, bool& closed) {
        QByteArray answer;
        socket.write(raw);
        Spin(
            [&] {
                answer += socket.readAll();
                const qsizetype end = answer.indexOf("\r\n\r\n") + 4;
                const qsizetype length = answer.indexOf("Content-Length: ") + 16;
                return socket.state() == QSslSocket::UnconnectedState ||
                       (end > 4 &&
                        answer.size() >= end + answer.mid(length, 9).split('\r')[0].toInt());
            },
            10000);
        closed = Spin([&] { return socket.state() == QSslSocket::UnconnectedState; }, 1000);
        return answer;
    };
    if (!open(QStringLiteral("127.0.0.1"))->isEncrypted()) {
#ifdef Q_OS_WIN
        if (GetProcAddress(GetModuleHandleW(L"ntdll.dll"), "wine_get_version") &&
            dir.read(QStringLiteral("velmora.log")).contains("cannot be used for a server")) {
            GTEST_SKIP() << "Wine 8.0's CertFindChainInStore is a stub, so Qt's Schannel refuses "
                            "every certificate to a TLS server: the certificate above was made "
                            "and read, the handshake cannot be tried here";
        }
#endif
        FAIL() << dir.read(QStringLiteral("velmora.log")).constData();
    }

    const QByteArray form = "GET /giris HTTP/1.1\r\n\r\n";
    const QList<LanCase> cases{
        {"login over TLS sets a Secure cookie, with the security headers",
         "POST /giris HTTP/1.1\r\nContent-Length: 17\r\n\r\nsifre=dogru-sifre",
         303,
         {"; Secure", "Referrer-Policy: no-referrer", "frame-ancestors 'none'"},
         false},
        {"Connection: close ends the connection once answered",
         "GET / HTTP/1.1\r\n%SConnection: close\r\n\r\n",
         200,
         {"Connection: close", ">Yazıcılar</h1>"},
         true},
        {"HTTP/1.0 ends it too", "GET /giris HTTP/1.0\r\n\r\n", 200, {"en az 8 karakter"}, true},
        {"a ticket too long for a page is refused before its lines are read",
         "GET /fis?id=1 HTTP/1.1\r\n%S\r\n",
         413,
         {"Fiş gösterilemeyecek kadar uzun"},
         false},
        {"a request line too long is answered before any parsing, with the security headers",
         "GET /" + QByteArray(3000, 'a') + " HTTP/1.1\r\n\r\n",
         414,
         {"X-Frame-Options: DENY"},
         true},
        {"32 idle connections leave the manager served", form, 200, {}, false, 32, form},
        {"32 slow senders leave the manager served", form, 200, {}, false, 32, form.chopped(2)},
    };
    QByteArray cookie;
    bool closed = false;
    for (const LanCase& row : cases) {
        SCOPED_TRACE(row.name);
        std::vector<std::unique_ptr<QSslSocket>> held;
        for (int i = 0; i < row.held; ++i) {
            held.push_back(open(QStringLiteral("127.0.0.%1").arg(21 + i % 4)));
            held.back()->write(row.heldRequest);
        }
        // Idle once answered; a slow sender is given the time to be read.
        Spin(
            [&] {
                return std::all_of(held.begin(), held.end(),
                                   [](const auto& socket) { return socket->bytesAvailable() > 0; });
            },
            row.heldRequest.endsWith("\r\n\r\n") ? 10000 : 500);
        auto manager = open(QStringLiteral("127.0.0.1"));
        QByteArray raw = row.request;
        const QByteArray answer =
            ask(*manager, raw.replace("%S", "Cookie: " + cookie + "\r\n"), closed);
        EXPECT_EQ(answer.mid(9, 3).toInt(), row.status) << answer.left(400).constData();
        for (const QString& text : row.shown)
            EXPECT_TRUE(answer.contains(text.toUtf8())) << text.toStdString();
        EXPECT_EQ(closed, row.closes);
        if (cookie.isEmpty()) // the login's: a name and 64 hexadecimal digits
            cookie = answer.mid(answer.indexOf("velmora_oturum="), 15 + 64);
        if (row.held > 0) {
            EXPECT_EQ(std::count_if(held.begin(), held.end(),
                                    [](const auto& s) { return s->isEncrypted(); }),
                      row.held - 1);
        }
    }

    // A password too short is logged and left unused: the page stays on this machine, without
    // a login, with the certificate it made before.
    StopServer(server);
    dir.write(QStringLiteral("Velmora.ini"), page + "Sifre=kisa1\r\n");
    server.start(server.program(), {});
    ASSERT_TRUE(Spin([&] { return open(QStringLiteral("127.0.0.1"))->isEncrypted(); }, 30000));
    EXPECT_TRUE(ask(*open(QStringLiteral("127.0.0.1")), "GET / HTTP/1.1\r\n\r\n", closed)
                    .contains(">Yazıcılar</h1>"));
    const QByteArray restarted = dir.read(QStringLiteral("velmora.log"));
    EXPECT_TRUE(restarted.contains("Durum sayfasi sifresi 8 karakterden kisa, kullanilmadi"));
    EXPECT_EQ(restarted.count("yeni sertifika yapildi"), 1);
    StopServer(server);
}

} // namespace
