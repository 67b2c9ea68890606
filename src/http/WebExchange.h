#pragma once

#include <QByteArray>
#include <QHostAddress>
#include <QList>
#include <QString>
#include <QUrlQuery>
#include <functional>
#include <utility>

class QHttpServerRequest;
class QTcpSocket;

// An answer of the status page. One drawn away from the event loop carries later instead of a
// body: a function, run on a worker thread, that gives the whole answer. One that keeps its
// connection open, as a stream of events, carries keep: it is handed the connection instead.
struct WebReply {
    int status = 200;
    QByteArray type = "text/html; charset=utf-8";
    QByteArray body;
    QList<std::pair<QByteArray, QByteArray>> headers;
    std::function<WebReply()> later;
    std::function<void(QTcpSocket*)> keep = {};

    static WebReply Text(int status, const QByteArray& text) {
        return {status, "text/plain; charset=utf-8", text, {}, {}};
    }
    static WebReply Redirect(const QByteArray& location) {
        return {303, "text/plain", QByteArray(), {{"Location", location}}, {}};
    }
    // The status line, the headers every answer carries and the body, as sent.
    QByteArray Serialized() const;
};

// One request on its way through: what it asks, the session it belongs to, its form.
class WebExchange {
public:
    static const QByteArray kSessionCookie;

    explicit WebExchange(const QHttpServerRequest& request);

    QString field(const QString& name) const {
        return form.queryItemValue(name, QUrl::FullyDecoded);
    }
    QString parameter(const QString& name) const {
        return query.queryItemValue(name, QUrl::FullyDecoded);
    }
    // A positive number, else 0.
    static qint64 Id(const QString& value);

    QString path;
    QUrlQuery query;
    QUrlQuery form;
    QHostAddress remoteAddress;
    QByteArray host;
    QByteArray sessionId;
    QByteArray token; // the session's, once known
    QByteArray newCookie;
    QByteArray bearer; // the token of "Authorization: Bearer", when sent
    bool dataOnly = false;
};
