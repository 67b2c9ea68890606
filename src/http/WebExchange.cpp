#include "http/WebExchange.h"

#include <QHttpServerRequest>

const QByteArray WebExchange::kSessionCookie = "velmora_oturum";

namespace {

QByteArray ReasonPhrase(int status) {
    switch (status) {
    case 200:
        return "OK";
    case 303:
        return "See Other";
    case 400:
        return "Bad Request";
    case 401:
        return "Unauthorized";
    case 403:
        return "Forbidden";
    case 404:
        return "Not Found";
    case 405:
        return "Method Not Allowed";
    case 413:
        return "Payload Too Large";
    case 414:
        return "URI Too Long";
    case 429:
        return "Too Many Requests";
    case 502:
        return "Bad Gateway";
    case 503:
        return "Service Unavailable";
    default:
        return "Internal Server Error";
    }
}

} // namespace

QByteArray WebReply::Serialized() const {
    QByteArray raw = "HTTP/1.1 " + QByteArray::number(status) + ' ' + ReasonPhrase(status) +
                     "\r\nContent-Type: " + type +
                     "\r\nCache-Control: no-store"
                     "\r\nX-Content-Type-Options: nosniff"
                     "\r\nX-Frame-Options: DENY"
                     "\r\nReferrer-Policy: no-referrer"
                     "\r\nContent-Security-Policy: default-src 'none'; script-src 'self'; "
                     "style-src 'unsafe-inline'; img-src 'self'; connect-src 'self'; "
                     "form-action 'self'; frame-ancestors 'none'\r\n";
    for (const auto& [name, value] : headers)
        raw += name + ": " + value + "\r\n";
    return raw + "Content-Length: " + QByteArray::number(body.size()) + "\r\n\r\n" + body;
}

WebExchange::WebExchange(const QHttpServerRequest& request)
    : path(request.url().path())
    , query(request.url().query())
    , remoteAddress(request.remoteAddress()) {
    QByteArray body = request.body();
    form.setQuery(QString::fromUtf8(body.replace('+', "%20")));
    for (const auto& [name, value] : request.headers()) {
        if (name.compare("Cookie", Qt::CaseInsensitive) == 0) {
            for (const QByteArray& part : value.split(';')) {
                const QByteArray pair = part.trimmed();
                if (pair.startsWith(kSessionCookie + '='))
                    sessionId = pair.mid(kSessionCookie.size() + 1).left(64);
            }
        } else if (name.compare("Host", Qt::CaseInsensitive) == 0) {
            host = value;
        } else if (name.compare("X-Veri", Qt::CaseInsensitive) == 0) {
            dataOnly = true;
        } else if (name.compare("Authorization", Qt::CaseInsensitive) == 0 &&
                   value.left(7).compare("Bearer ", Qt::CaseInsensitive) == 0) {
            bearer = value.mid(7).trimmed();
        }
    }
}

qint64 WebExchange::Id(const QString& value) {
    bool ok = false;
    const qint64 number = value.toLongLong(&ok);
    return ok && number > 0 ? number : 0;
}
