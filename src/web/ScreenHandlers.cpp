#include "web/ScreenHandlers.h"

#include "http/WebSessions.h"
#include "web/ScreenBackend.h"
#include "web/ScreenPage.h"

#include <QNetworkInterface>
#include <QTcpSocket>
#include <QUrl>

const QLatin1String ScreenHandlers::kPrefix("/ekran/");

namespace {

const QString kKeyField = QStringLiteral("anahtar");
// More cards than a screen shows; a longer list is cut.
constexpr int kMaxDrawnCards = 500;

WebReply Nothing(int status) {
    return WebReply::Text(status, QByteArray());
}

WebReply Done(bool done) {
    return done ? WebReply::Text(200, "ok")
                : WebReply::Text(409, QStringLiteral("Kart yok ya da kaydedilemedi").toUtf8());
}

} // namespace

ScreenHandlers::ScreenHandlers(ScreenBackend& backend, WebSessions& sessions)
    : m_backend(backend)
    , m_sessions(sessions) {}

WebReply ScreenHandlers::Script() {
    return {200, "text/javascript; charset=utf-8", ScreenPage::Script(), {}, {}};
}

QString ScreenHandlers::Link(const WebExchange& exchange, const QString& name,
                             const QByteArray& key) {
    QUrl url(QStringLiteral("http://") + QString::fromLatin1(exchange.host));
    if (!url.isValid() || url.host().isEmpty())
        url = QUrl(QStringLiteral("http://127.0.0.1"));
    const bool local =
        QHostAddress(url.host()).isLoopback() || url.host() == QLatin1String("localhost");
    if (!key.isEmpty() && local) {
        for (const QHostAddress& address : QNetworkInterface::allAddresses()) {
            if (!address.isLoopback() && address.protocol() == QAbstractSocket::IPv4Protocol) {
                url.setHost(address.toString());
                break;
            }
        }
    }
    url.setPath(kPrefix + name);
    if (!key.isEmpty())
        url.setQuery(kKeyField + QLatin1Char('=') + QString::fromLatin1(key));
    return url.toString(QUrl::FullyEncoded);
}

WebReply ScreenHandlers::Handle(QHttpServerRequest::Method method, WebExchange& exchange) {
    const QString rest = exchange.path.mid(kPrefix.size());
    const QString name = rest.section(QLatin1Char('/'), 0, 0);
    const QString action = rest.section(QLatin1Char('/'), 1);
    const bool post = method == QHttpServerRequest::Method::Post;
    if (!post && method != QHttpServerRequest::Method::Get)
        return WebReply::Text(405, "Method Not Allowed");
    if (const std::optional<WebReply> refusal = Refusal(post, exchange, name))
        return *refusal;
    const std::optional<ScreenAddress> screen = m_backend.FindScreen(name);
    if (!screen)
        return WebReply::Text(404, QStringLiteral("Böyle bir ekran yok").toUtf8());
    if (post)
        return Act(screen->name, action, exchange);
    if (action.isEmpty()) {
        return {
            200,
            "text/html; charset=utf-8",
            ScreenPage::Html(screen->name, exchange.parameter(kKeyField).toLatin1(), exchange.token)
                .toUtf8(),
            {},
            {}};
    }
    if (action != QLatin1String("akis"))
        return WebReply::Text(404, "Not Found");
    WebReply stream;
    stream.keep = [this, screenName = screen->name](QTcpSocket* socket) {
        m_backend.Stream(screenName, socket);
    };
    return stream;
}

std::optional<WebReply> ScreenHandlers::Refusal(bool post, WebExchange& exchange,
                                                const QString& name) {
    const QByteArray key =
        (post ? exchange.field(kKeyField) : exchange.parameter(kKeyField)).toLatin1();
    if (!key.isEmpty() || (m_sessions.passwordRequired() && exchange.token.isEmpty())) {
        if (m_sessions.LoginWait(exchange.remoteAddress) > 0)
            return Nothing(429);
        // A screen not in A_Yazicilar has no key: nothing tells it apart from a wrong key.
        const QByteArray expected = m_backend.FindScreen(name) ? m_backend.Key(name) : QByteArray();
        // As at the login: a failure that makes the address wait says so.
        if (!m_sessions.TryKey(exchange.remoteAddress, expected, key))
            return Nothing(m_sessions.LoginWait(exchange.remoteAddress) > 0 ? 429 : 403);
        return std::nullopt;
    }
    if (post) {
        if (!m_sessions.TokenMatches(exchange.sessionId,
                                     exchange.field(QStringLiteral("token")).toLatin1()))
            return Nothing(403);
    } else if (exchange.token.isEmpty()) {
        // This machine's own user needs no login, but the page's actions still need a token.
        const WebSessions::Opened opened = m_sessions.Open();
        exchange.newCookie = opened.id;
        exchange.token = opened.token;
    }
    return std::nullopt;
}

WebReply ScreenHandlers::Act(const QString& name, const QString& action,
                             const WebExchange& exchange) {
    const qint64 card = WebExchange::Id(exchange.field(QStringLiteral("kart")));
    if (action == QLatin1String("cizildi")) {
        QList<qint64> cards;
        const QStringList ids =
            exchange.field(QStringLiteral("kartlar")).split(QLatin1Char(','), Qt::SkipEmptyParts);
        for (const QString& id : ids.mid(0, kMaxDrawnCards))
            cards << WebExchange::Id(id);
        m_backend.Drawn(name, WebExchange::Id(exchange.field(QStringLiteral("akis"))), cards);
        return Done(true);
    }
    if (action == QLatin1String("hazir"))
        return Done(m_backend.Bump(name, card));
    if (action == QLatin1String("geri-al"))
        return Done(m_backend.Recall(name));
    if (action == QLatin1String("ciz")) {
        bool ok = false;
        const int item = exchange.field(QStringLiteral("kalem")).toInt(&ok);
        return Done(ok && m_backend.CrossOff(name, card, item));
    }
    return WebReply::Text(404, "Not Found");
}
