#pragma once

#include "http/WebExchange.h"

#include <QHttpServerRequest>
#include <optional>

class ScreenBackend;
class WebSessions;

// The kitchen screens' pages under "/ekran/NAME": the page, its event stream ("/akis") and its
// actions, each a POST: the cards it drew ("/cizildi"), a card bumped ("/hazir"), the last one
// brought back ("/geri-al"), an item crossed off ("/ciz"). A request brings the screen's key
// ("anahtar"), which only opens that screen, or comes as the status page's own pages do: from a
// session, opened for this machine's user when no password is set. A wrong key gets nothing
// and makes the address wait as a wrong password does.
class ScreenHandlers {
public:
    static const QLatin1String kPrefix;

    ScreenHandlers(ScreenBackend& backend, WebSessions& sessions);

    static WebReply Script();
    // Where a browser opens the screen: this server as the exchange reached it, or, for a link
    // with a key, which is for the restaurant's network, at this machine's first network
    // address when it was reached on 127.0.0.1.
    static QString Link(const WebExchange& exchange, const QString& name, const QByteArray& key);
    WebReply Handle(QHttpServerRequest::Method method, WebExchange& exchange);

private:
    // The answer that refuses the request, or nothing when it may go on.
    std::optional<WebReply> Refusal(bool post, WebExchange& exchange, const QString& name);
    WebReply Act(const QString& name, const QString& action, const WebExchange& exchange);

    ScreenBackend& m_backend;
    WebSessions& m_sessions;
};
