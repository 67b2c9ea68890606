#include "web/StatusWebServer.h"

#include "core/Error.h"
#include "journal/ReprintTicket.h"
#include "journal/TicketJournal.h"
#include "log/DiagnosticLog.h"
#include "web/HtmlPages.h"
#include "web/StatusBackend.h"
#include "web/TestPageTicket.h"
#include "web/TicketPicture.h"

#include <QHttpServerRequest>
#include <QHttpServerResponder>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTimer>
#include <QUrlQuery>

const QByteArray StatusWebServer::kSessionCookie = "velmora_oturum";

namespace {

// Counts what each connection sends towards one answer and hangs up on a request that grows
// beyond the limit, before the HTTP parser holds all of it. The connections are few and none
// stays silent long: the printers, the database and the log need descriptors of the same
// process, whatever a phone or a scanner on the network does.
class BoundedTcpServer : public QTcpServer {
public:
    using QTcpServer::QTcpServer;

protected:
    void incomingConnection(qintptr descriptor) override {
        auto* socket = new QTcpSocket(this);
        if (!socket->setSocketDescriptor(descriptor) ||
            m_open >= StatusWebServer::kMaxConnections) {
            socket->abort();
            delete socket;
            return;
        }
        ++m_open;
        connect(socket, &QObject::destroyed, this, [this] { --m_open; });
        auto* silence = new QTimer(socket);
        silence->setSingleShot(true);
        connect(silence, &QTimer::timeout, socket, &QTcpSocket::abort);
        silence->start(StatusWebServer::kIdleMilliseconds);
        auto received = std::make_shared<qint64>(0);
        // Connected before the HTTP server's own slot, so it sees each chunk first.
        connect(socket, &QTcpSocket::readyRead, socket, [socket, silence, received] {
            silence->start(StatusWebServer::kIdleMilliseconds);
            *received += socket->bytesAvailable();
            if (*received <= StatusWebServer::kMaxRequestBytes)
                return;
            socket->readAll();
            socket->write("HTTP/1.1 413 Payload Too Large\r\nConnection: close\r\n"
                          "Content-Length: 0\r\n\r\n");
            socket->disconnectFromHost();
        });
        // An answer went out: the next request counts afresh.
        connect(socket, &QTcpSocket::bytesWritten, socket, [silence, received] {
            silence->start(StatusWebServer::kIdleMilliseconds);
            *received = 0;
        });
        addPendingConnection(socket);
    }

private:
    int m_open = 0;
};

const QByteArray kRefreshScript =
    "setInterval(function(){fetch(location.href,{headers:{'X-Veri':'1'}})"
    ".then(function(r){return r.ok?r.text():null}).then(function(t){"
    "if(t!==null)document.getElementById('veri').innerHTML=t})},5000);";

} // namespace

// One request on its way through: what it asks, the session it belongs to, its form.
class StatusWebServer::Exchange {
public:
    explicit Exchange(const QHttpServerRequest& incoming)
        : request(incoming)
        , path(incoming.url().path())
        , query(incoming.url().query()) {
        QByteArray body = incoming.body();
        form.setQuery(QString::fromUtf8(body.replace('+', "%20")));
        for (const auto& [name, value] : incoming.headers()) {
            if (name.compare("Cookie", Qt::CaseInsensitive) == 0)
                readCookie(value);
            else if (name.compare("Host", Qt::CaseInsensitive) == 0)
                host = value;
            else if (name.compare("X-Veri", Qt::CaseInsensitive) == 0)
                dataOnly = true;
        }
    }

    QString field(const QString& name) const {
        return form.queryItemValue(name, QUrl::FullyDecoded);
    }
    QString parameter(const QString& name) const {
        return query.queryItemValue(name, QUrl::FullyDecoded);
    }
    // A positive number from the form or the query, else 0.
    qint64 id(const QString& value) const {
        bool ok = false;
        const qint64 number = value.toLongLong(&ok);
        return ok && number > 0 ? number : 0;
    }

    const QHttpServerRequest& request;
    QString path;
    QUrlQuery query;
    QUrlQuery form;
    QByteArray host;
    QByteArray sessionId;
    QByteArray token; // the session's, once known
    QByteArray newCookie;
    bool dataOnly = false;

private:
    void readCookie(const QByteArray& header) {
        for (const QByteArray& part : header.split(';')) {
            const QByteArray pair = part.trimmed();
            if (pair.startsWith(kSessionCookie + '='))
                sessionId = pair.mid(kSessionCookie.size() + 1);
        }
    }
};

StatusWebServer::StatusWebServer(const StatusPageSettings& settings,
                                 const PrintSettings& printSettings, TicketJournal& journal,
                                 StatusBackend& backend, DiagnosticLog& log)
    : m_settings(settings)
    , m_printSettings(printSettings)
    , m_journal(journal)
    , m_backend(backend)
    , m_log(log)
    , m_sessions(settings.password) {}

QString StatusWebServer::Listen() {
    auto* server = new BoundedTcpServer(this);
    const QHostAddress address =
        m_sessions.passwordRequired() ? QHostAddress::Any : QHostAddress::LocalHost;
    if (!server->listen(address, static_cast<quint16>(m_settings.port))) {
        const QString error = server->errorString();
        delete server;
        return error;
    }
    bind(server);
    return QString();
}

QString StatusWebServer::url() const {
    return QStringLiteral("http://127.0.0.1:%1/").arg(m_settings.port);
}

bool StatusWebServer::handleRequest(const QHttpServerRequest& request, QTcpSocket* socket) {
    Exchange exchange(request);
    Reply reply;
    try {
        reply = Dispatch(exchange);
    } catch (const Error& error) {
        // The details stay in the log: a database message may name the server.
        m_log.LogLine(QStringLiteral("Durum sayfasi hatasi -- ") + exchange.path +
                          QStringLiteral(": ") + error.message(),
                      true);
        reply = Html(exchange, QStringLiteral("Hata"),
                     HtmlPages::Message(QStringLiteral("Sunucu hatasi, ayrinti gunluk dosyasinda")),
                     false, 500);
    }
    if (!exchange.newCookie.isEmpty()) {
        reply.headers.append({"Set-Cookie", kSessionCookie + '=' + exchange.newCookie +
                                                "; HttpOnly; SameSite=Strict; Path=/"});
    }
    QHttpServerResponder responder = makeResponder(request, socket);
    responder.writeStatusLine(static_cast<QHttpServerResponder::StatusCode>(reply.status));
    responder.writeHeader("Content-Type", reply.type);
    responder.writeHeader("Cache-Control", "no-store");
    responder.writeHeader("X-Content-Type-Options", "nosniff");
    responder.writeHeader("X-Frame-Options", "DENY");
    responder.writeHeader("Content-Security-Policy",
                          "default-src 'none'; script-src 'self'; style-src 'unsafe-inline'; "
                          "img-src 'self'; connect-src 'self'; form-action 'self'");
    for (const auto& [name, value] : reply.headers)
        responder.writeHeader(name, value);
    responder.writeHeader("Content-Length", QByteArray::number(reply.body.size()));
    responder.writeBody(reply.body);
    return true;
}

void StatusWebServer::missingHandler(const QHttpServerRequest& request, QTcpSocket* socket) {
    makeResponder(request, socket).write(QHttpServerResponder::StatusCode::NotFound);
}

StatusWebServer::Reply StatusWebServer::Dispatch(Exchange& exchange) {
    static const QStringList pages{QStringLiteral("/"), QStringLiteral("/kuyruk"),
                                   QStringLiteral("/gunluk"), QStringLiteral("/fis"),
                                   QStringLiteral("/fis.png")};
    static const QStringList actions{QStringLiteral("/tekrar"), QStringLiteral("/test"),
                                     QStringLiteral("/yeniden-dene"), QStringLiteral("/cikis")};
    const auto method = exchange.request.method();
    const bool get = method == QHttpServerRequest::Method::Get;
    const bool post = method == QHttpServerRequest::Method::Post;
    if (exchange.request.url().toEncoded().size() > kMaxUrlLength)
        return {414, "text/plain", "URI Too Long", {}};
    // Without a password only this machine is served; a foreign host name would be a web
    // page that rebinds its name to 127.0.0.1.
    if (!HostAllowed(exchange))
        return {403, "text/plain", "Forbidden", {}};
    exchange.sessionId.truncate(64);
    exchange.token = m_sessions.TokenOf(exchange.sessionId);

    const QString& path = exchange.path;
    if (path == QStringLiteral("/yenile.js") && get)
        return {200, "text/javascript", kRefreshScript, {}};
    if (path == QStringLiteral("/giris") && (get || post))
        return Login(exchange);
    if (pages.contains(path))
        return get ? Page(exchange) : Reply{405, "text/plain", "Method Not Allowed", {}};
    if (actions.contains(path))
        return post ? Action(exchange) : Reply{405, "text/plain", "Method Not Allowed", {}};
    return Html(exchange, QStringLiteral("Bulunamadi"),
                HtmlPages::Message(QStringLiteral("Boyle bir sayfa yok")), false, 404);
}

bool StatusWebServer::HostAllowed(const Exchange& exchange) const {
    if (m_sessions.passwordRequired() || exchange.host.isEmpty())
        return true;
    QByteArray name = exchange.host;
    const qsizetype colon = name.lastIndexOf(':');
    if (colon > name.lastIndexOf(']'))
        name.truncate(colon);
    return name == "127.0.0.1" || name == "localhost" || name == "[::1]";
}

StatusWebServer::Reply StatusWebServer::Page(Exchange& exchange) {
    if (exchange.token.isEmpty()) {
        if (m_sessions.passwordRequired())
            return {303, "text/plain", QByteArray(), {{"Location", "/giris"}}};
        // This machine's own user needs no login, but its forms still need a token.
        exchange.newCookie = m_sessions.Open();
        exchange.token = m_sessions.TokenOf(exchange.newCookie);
    }
    const QString& path = exchange.path;
    if (path == QStringLiteral("/"))
        return PrintersPage(exchange);
    if (path == QStringLiteral("/kuyruk"))
        return QueuePage(exchange);
    if (path == QStringLiteral("/gunluk"))
        return JournalPage(exchange);
    if (path == QStringLiteral("/fis"))
        return TicketPage(exchange);
    return TicketPicture(exchange);
}

StatusWebServer::Reply StatusWebServer::Action(Exchange& exchange) {
    if (!m_sessions.TokenMatches(exchange.sessionId,
                                 exchange.field(QStringLiteral("token")).toLatin1())) {
        return Html(exchange, QStringLiteral("Reddedildi"),
                    HtmlPages::Message(QStringLiteral("Oturum veya form anahtari gecersiz, "
                                                      "sayfayi yeniden acin")),
                    false, 403);
    }
    const QString& path = exchange.path;
    if (path == QStringLiteral("/tekrar"))
        return Reprint(exchange);
    if (path == QStringLiteral("/test"))
        return TestPage(exchange);
    if (path == QStringLiteral("/yeniden-dene")) {
        m_backend.RetrySetAsideJobs();
        return Html(exchange, QStringLiteral("Kuyruk"),
                    HtmlPages::Message(QStringLiteral("Bekleyen isler yeniden deneniyor")), false);
    }
    m_sessions.Close(exchange.sessionId);
    exchange.token.clear();
    return {303, "text/plain", QByteArray(), {{"Location", "/giris"}}};
}

StatusWebServer::Reply StatusWebServer::Login(Exchange& exchange) {
    const QString title = QStringLiteral("Giris");
    if (!m_sessions.passwordRequired())
        return {303, "text/plain", QByteArray(), {{"Location", "/"}}};
    if (exchange.request.method() == QHttpServerRequest::Method::Get)
        return Html(exchange, title, HtmlPages::Login(QString()), false);
    const QHostAddress address = exchange.request.remoteAddress();
    if (const qint64 wait = m_sessions.LoginWait(address); wait > 0) {
        return Html(exchange, title,
                    HtmlPages::Login(QStringLiteral("Cok fazla hatali deneme, %1 sn sonra "
                                                    "yeniden deneyin")
                                         .arg(wait)),
                    false, 429);
    }
    if (!m_sessions.TryPassword(address, exchange.field(QStringLiteral("sifre"))))
        return Html(exchange, title, HtmlPages::Login(QStringLiteral("Sifre yanlis")), false, 403);
    exchange.newCookie = m_sessions.Open();
    return {303, "text/plain", QByteArray(), {{"Location", "/"}}};
}

StatusWebServer::Reply StatusWebServer::Html(Exchange& exchange, const QString& title,
                                             const QString& data, bool refreshing, int status) {
    if (exchange.dataOnly)
        return {status, "text/html; charset=utf-8", data.toUtf8(), {}};
    return {status,
            "text/html; charset=utf-8",
            HtmlPages::Layout(title, data,
                              m_sessions.passwordRequired() && !exchange.token.isEmpty(),
                              exchange.token, refreshing)
                .toUtf8(),
            {}};
}

StatusWebServer::Reply StatusWebServer::PrintersPage(Exchange& exchange) {
    return Html(exchange, QStringLiteral("Yazicilar"),
                HtmlPages::ServerRole(m_backend.ServerRole()) +
                    HtmlPages::Printers(m_backend.Printers(), exchange.token),
                true);
}

StatusWebServer::Reply StatusWebServer::QueuePage(Exchange& exchange) {
    return Html(exchange, QStringLiteral("Kuyruk"),
                HtmlPages::Queue(m_backend.Queue(), exchange.token), true);
}

StatusWebServer::Reply StatusWebServer::JournalPage(Exchange& exchange) {
    const QString search = exchange.parameter(QStringLiteral("ara")).trimmed();
    if (search.size() > 40)
        return Html(exchange, QStringLiteral("Gunluk"),
                    HtmlPages::Message(QStringLiteral("Arama metni cok uzun")), false, 400);
    const QString rows =
        HtmlPages::Journal(m_journal.Search(QDate::currentDate(), search, kMaxJournalRows));
    if (exchange.dataOnly)
        return Html(exchange, QString(), rows, true);
    return Html(exchange, QStringLiteral("Gunluk"), HtmlPages::JournalSearch(search) + rows, true);
}

StatusWebServer::Reply StatusWebServer::TicketPage(Exchange& exchange) {
    const qint64 id = exchange.id(exchange.parameter(QStringLiteral("id")));
    if (id == 0)
        return Html(exchange, QStringLiteral("Fis"),
                    HtmlPages::Message(QStringLiteral("Gecersiz fis numarasi")), false, 400);
    const std::optional<JournalEntry> entry = m_journal.Find(id);
    if (!entry)
        return Html(exchange, QStringLiteral("Fis"),
                    HtmlPages::Message(QStringLiteral("Fis bulunamadi")), false, 404);
    return Html(exchange, QStringLiteral("Fis %1").arg(id),
                HtmlPages::Ticket(*entry, m_backend.Printers(), exchange.token), false);
}

StatusWebServer::Reply StatusWebServer::TicketPicture(Exchange& exchange) {
    const std::optional<JournalEntry> entry =
        m_journal.Find(exchange.id(exchange.parameter(QStringLiteral("id"))));
    if (!entry)
        return {404, "text/plain", "Not Found", {}};
    try {
        return {200, "image/png", TicketPng(entry->lines, m_printSettings, entry->time), {}};
    } catch (const PrinterError& error) {
        return {500, "text/plain; charset=utf-8", error.message().toUtf8(), {}};
    }
}

StatusWebServer::Reply StatusWebServer::Reprint(Exchange& exchange) {
    const std::optional<JournalEntry> entry =
        m_journal.Find(exchange.id(exchange.field(QStringLiteral("id"))));
    if (!entry)
        return Html(exchange, QStringLiteral("Tekrar basim"),
                    HtmlPages::Message(QStringLiteral("Fis bulunamadi")), false, 400);
    JournalEntry about = *entry;
    about.jobId.clear();
    about.jobType = QStringLiteral("TEKRAR");
    return Send(exchange, exchange.field(QStringLiteral("yazici")), ReprintTicket(*entry), about,
                QStringLiteral("Tekrar basim gonderildi: "));
}

StatusWebServer::Reply StatusWebServer::TestPage(Exchange& exchange) {
    const QString name = exchange.field(QStringLiteral("yazici"));
    for (const PrinterSnapshot& printer : m_backend.Printers()) {
        if (printer.name.compare(name, Qt::CaseInsensitive) != 0)
            continue;
        JournalEntry about;
        about.jobType = QStringLiteral("TEST");
        return Send(exchange, printer.name, TestPageTicket(printer), about,
                    QStringLiteral("Test sayfasi gonderildi: "));
    }
    return Html(exchange, QStringLiteral("Test sayfasi"),
                HtmlPages::Message(QStringLiteral("Yazici bulunamadi")), false, 400);
}

StatusWebServer::Reply StatusWebServer::Send(Exchange& exchange, const QString& printer,
                                             const Ticket& ticket, JournalEntry about,
                                             const QString& done) {
    bool known = false;
    for (const PrinterSnapshot& snapshot : m_backend.Printers())
        known = known || snapshot.name.compare(printer, Qt::CaseInsensitive) == 0;
    if (!known)
        return Html(exchange, QStringLiteral("Yazdirma"),
                    HtmlPages::Message(QStringLiteral("Yazici bulunamadi")), false, 400);
    const QString error = m_backend.Print(printer, ticket, about);
    if (!error.isEmpty())
        return Html(exchange, QStringLiteral("Yazdirma"),
                    HtmlPages::Message(QStringLiteral("Yazdirilamadi: ") + error), false, 502);
    return Html(exchange, QStringLiteral("Yazdirma"), HtmlPages::Message(done + printer), false);
}
