#include "web/StatusWebServer.h"

#include "core/Error.h"
#include "http/TlsIdentity.h"
#include "http/WebExchange.h"
#include "log/DiagnosticLog.h"

#include <QHttpServerRequest>
#include <QPointer>
#include <QTcpSocket>
#include <iterator>

namespace {

using Method = QHttpServerRequest::Method;

enum class Access {
    Metrics, // this machine, or the network with the metrics key; never the page's password
    Open,    // anyone the page serves may ask
    Page,    // a session is needed, opened for this machine's own user when no password is set
    Action,  // a session and its form token are needed
};

struct Route {
    QLatin1String path;
    Method method;
    Access access;
    WebReply (StatusHandlers::*handle)(WebExchange&);
};

const Route kRoutes[] = {
    {QLatin1String("/metrics"), Method::Get, Access::Metrics, &StatusHandlers::Metrics},
    {QLatin1String("/yenile.js"), Method::Get, Access::Open, &StatusHandlers::Script},
    {QLatin1String("/ekran.js"), Method::Get, Access::Open, &StatusHandlers::ScreenScript},
    {QLatin1String("/giris"), Method::Get, Access::Open, &StatusHandlers::LoginForm},
    {QLatin1String("/giris"), Method::Post, Access::Open, &StatusHandlers::Login},
    {QLatin1String("/"), Method::Get, Access::Page, &StatusHandlers::Printers},
    {QLatin1String("/kuyruk"), Method::Get, Access::Page, &StatusHandlers::Queue},
    {QLatin1String("/gunluk"), Method::Get, Access::Page, &StatusHandlers::Journal},
    {QLatin1String("/fis"), Method::Get, Access::Page, &StatusHandlers::TicketPage},
    {QLatin1String("/fis.png"), Method::Get, Access::Page, &StatusHandlers::TicketPicture},
    {QLatin1String("/tekrar"), Method::Post, Access::Action, &StatusHandlers::Reprint},
    {QLatin1String("/test"), Method::Post, Access::Action, &StatusHandlers::TestPage},
    {QLatin1String("/yeniden-dene"), Method::Post, Access::Action, &StatusHandlers::Retry},
    {QLatin1String("/bildirim-dene"), Method::Post, Access::Action,
     &StatusHandlers::TestNotification},
    {QLatin1String("/cikis"), Method::Post, Access::Action, &StatusHandlers::Logout},
};

bool IsLocalHostName(QByteArray name) {
    const qsizetype colon = name.lastIndexOf(':');
    if (colon > name.lastIndexOf(']'))
        name.truncate(colon);
    return name == "127.0.0.1" || name == "localhost" || name == "[::1]";
}

WebReply Refusal(int status, const QByteArray& header, const QByteArray& value) {
    WebReply reply = WebReply::Text(status, status == 429 ? "Too Many Requests" : "Unauthorized");
    reply.headers.append({header, value});
    return reply;
}

} // namespace

StatusWebServer::StatusWebServer(const StatusPageSettings& settings,
                                 const PrintSettings& printSettings, StatusBackend& backend,
                                 ScreenBackend& screens, DiagnosticLog& log)
    : m_settings(settings)
    , m_log(log)
    , m_sessions(settings.password)
    , m_handlers(printSettings, backend, m_sessions)
    , m_screens(screens, m_sessions) {
    m_renderers.setMaxThreadCount(1);
}

QString StatusWebServer::Listen() {
    if (!m_settings.password.isEmpty() && !m_sessions.passwordRequired()) {
        m_log.LogLine(QStringLiteral("Durum sayfasi sifresi %1 karakterden kisa, kullanilmadi: "
                                     "sayfa yalnizca bu bilgisayarda, girissiz acilir")
                          .arg(WebSessions::kMinPasswordLength),
                      true);
    }
    std::optional<QSslConfiguration> tls;
    if (m_settings.https) {
        QString error;
        tls = Tls(error);
        // Never the page over plain HTTP instead: its password would cross the network.
        if (!tls) {
            m_log.LogLine(QStringLiteral("Durum sayfasi HTTPS ile acilamadi -- ") + error, true);
            return error;
        }
    }
    auto* server = new BoundedTcpServer(this, tls);
    const bool network = m_sessions.passwordRequired() || !m_settings.metricsToken.isEmpty();
    const QHostAddress address = network ? QHostAddress::Any : QHostAddress::LocalHost;
    if (!server->listen(address, static_cast<quint16>(m_settings.port))) {
        const QString error = server->errorString();
        delete server;
        return error;
    }
    server->setTlsFailed([this](const QString& reason) {
        m_log.LogLine(QStringLiteral("Durum sayfasi TLS baglantisi kurulamadi -- ") + reason, true);
    });
    m_transport = server;
    bind(server);
    return QString();
}

std::optional<QSslConfiguration> StatusWebServer::Tls(QString& error) {
    const TlsIdentity identity =
        m_settings.ownCertificate
            ? TlsIdentity::Read(m_settings.certificateFile, m_settings.keyFile)
            : TlsIdentity::ReadOrMake(m_settings.certificateFile, m_settings.keyFile);
    error = identity.error();
    if (!error.isEmpty())
        return std::nullopt;
    m_fingerprint = identity.fingerprint();
    if (identity.made()) {
        m_log.LogLine(QStringLiteral("Durum sayfasi icin yeni sertifika yapildi -- ") +
                          m_settings.certificateFile + QStringLiteral(", SHA-256 parmak izi ") +
                          m_fingerprint,
                      true);
    }
    return identity.configuration();
}

QString StatusWebServer::url() const {
    return QStringLiteral("%1://127.0.0.1:%2/")
        .arg(m_settings.https ? QStringLiteral("https") : QStringLiteral("http"))
        .arg(m_settings.port);
}

bool StatusWebServer::handleRequest(const QHttpServerRequest& request, QTcpSocket* socket) {
    WebExchange exchange(request);
    WebReply reply;
    try {
        reply = Dispatch(request, exchange);
    } catch (const Error& error) {
        // The details stay in the log: a database message may name the server.
        m_log.LogLine(QStringLiteral("Durum sayfasi hatasi -- ") + exchange.path +
                          QStringLiteral(": ") + error.message(),
                      true);
        reply = m_handlers.Message(exchange, QStringLiteral("Hata"),
                                   QStringLiteral("Sunucu hatası, ayrıntı günlük dosyasında"), 500);
    }
    if (reply.later && m_rendering >= kMaxRenders)
        reply =
            WebReply::Text(503, QStringLiteral("Sunucu meşgul, birazdan yeniden deneyin").toUtf8());
    if (!exchange.newCookie.isEmpty()) {
        reply.headers.append({"Set-Cookie", WebExchange::kSessionCookie + '=' + exchange.newCookie +
                                                "; HttpOnly; SameSite=Strict; Path=/" +
                                                (m_settings.https ? "; Secure" : "")});
    }
    if (reply.keep) {
        m_transport->keepStreaming(socket);
        reply.keep(socket);
        return true;
    }
    if (reply.later) {
        RenderLater(socket, std::move(reply));
        return true;
    }
    if (m_transport->endsWithAnswer(socket))
        reply.headers.append(std::pair<QByteArray, QByteArray>("Connection", "close"));
    socket->write(reply.Serialized());
    return true;
}

void StatusWebServer::missingHandler(const QHttpServerRequest&, QTcpSocket* socket) {
    socket->write(WebReply::Text(404, "Not Found").Serialized());
}

WebReply StatusWebServer::Dispatch(const QHttpServerRequest& request, WebExchange& exchange) {
    const Route* route = nullptr;
    bool pathKnown = false;
    for (const Route& candidate : kRoutes) {
        if (candidate.path != exchange.path)
            continue;
        pathKnown = true;
        if (candidate.method == request.method())
            route = &candidate;
    }
    if (!route && pathKnown)
        return WebReply::Text(405, "Method Not Allowed");
    if (route && route->access == Access::Metrics) {
        if (const std::optional<WebReply> refusal = MetricsRefusal(exchange))
            return *refusal;
        return (m_handlers.*(route->handle))(exchange);
    }
    // Without a password only this machine is served; a foreign host name would be a web
    // page that rebinds its name to 127.0.0.1.
    if (!HostAllowed(exchange))
        return WebReply::Text(403, "Forbidden");
    exchange.token = m_sessions.TokenOf(exchange.sessionId);
    if (exchange.path.startsWith(ScreenHandlers::kPrefix))
        return m_screens.Handle(request.method(), exchange);
    if (!route)
        return m_handlers.Message(exchange, QStringLiteral("Bulunamadı"),
                                  QStringLiteral("Böyle bir sayfa yok"), 404);
    if (route->access == Access::Page && exchange.token.isEmpty()) {
        if (m_sessions.passwordRequired())
            return WebReply::Redirect("/giris");
        // This machine's own user needs no login, but its forms still need a token.
        const WebSessions::Opened opened = m_sessions.Open();
        exchange.newCookie = opened.id;
        exchange.token = opened.token;
    }
    if (route->access == Access::Action &&
        !m_sessions.TokenMatches(exchange.sessionId,
                                 exchange.field(QStringLiteral("token")).toLatin1())) {
        return m_handlers.Message(
            exchange, QStringLiteral("Reddedildi"),
            QStringLiteral("Oturum veya form anahtarı geçersiz, sayfayı yeniden açın"), 403);
    }
    return (m_handlers.*(route->handle))(exchange);
}

bool StatusWebServer::HostAllowed(const WebExchange& exchange) const {
    if (m_sessions.passwordRequired())
        return true;
    // Without a password the port is open to the network for a keyed /metrics alone.
    return exchange.remoteAddress.isLoopback() &&
           (exchange.host.isEmpty() || IsLocalHostName(exchange.host));
}

std::optional<WebReply> StatusWebServer::MetricsRefusal(const WebExchange& exchange) {
    if (m_settings.metricsToken.isEmpty()) {
        if (exchange.remoteAddress.isLoopback() &&
            (exchange.host.isEmpty() || IsLocalHostName(exchange.host)))
            return std::nullopt;
        return WebReply::Text(403, "Forbidden");
    }
    // Guessing the key is guessing a password: the same waits hold back the same address.
    if (const qint64 wait = m_sessions.LoginWait(exchange.remoteAddress); wait > 0)
        return Refusal(429, "Retry-After", QByteArray::number(wait));
    if (!exchange.bearer.isEmpty() &&
        m_sessions.TryKey(exchange.remoteAddress, m_settings.metricsToken.toUtf8(),
                          exchange.bearer))
        return std::nullopt;
    return Refusal(401, "WWW-Authenticate", "Bearer");
}

void StatusWebServer::RenderLater(QTcpSocket* socket, WebReply reply) {
    ++m_rendering;
    // Closed once the picture is out; a browser asks nothing more on it meanwhile.
    reply.headers.append(std::pair<QByteArray, QByteArray>("Connection", "close"));
    QPointer<QTcpSocket> target(socket);
    m_renderers.start([this, target, reply = std::move(reply)] {
        WebReply drawn = reply.later();
        drawn.headers = reply.headers;
        QMetaObject::invokeMethod(
            this,
            [this, target, drawn] {
                --m_rendering;
                if (!target)
                    return;
                target->write(drawn.Serialized());
                target->disconnectFromHost();
            },
            Qt::QueuedConnection);
    });
}
