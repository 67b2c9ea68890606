#include "notify/NotificationRequest.h"

#include "notify/Notification.h"

#include <QJsonDocument>
#include <QJsonObject>
#include <algorithm>

namespace {

// A header's value on one line, and in ASCII: a text with other letters (a printer's name from
// the database) goes as an RFC 2047 word, which ntfy decodes.
QByteArray HeaderValue(QString text) {
    for (QChar& c : text) {
        if (c.isSpace() || c.category() == QChar::Other_Control)
            c = u' ';
    }
    const QByteArray utf8 = text.toUtf8();
    const bool ascii =
        std::all_of(utf8.begin(), utf8.end(), [](char c) { return c >= 0x20 && c < 0x7f; });
    return ascii ? utf8 : "=?UTF-8?B?" + utf8.toBase64() + "?=";
}

// "2026-12-10T20:10:00+03:00": a receiver in another time zone reads the same moment.
QString WithOffset(const QDateTime& time) {
    return time.toOffsetFromUtc(time.offsetFromUtc()).toString(Qt::ISODate);
}

} // namespace

NotificationRequest NotificationRequest::Of(const Notification& notification,
                                            NotificationSettings::Format format) {
    if (format == NotificationSettings::Format::Json) {
        const QJsonObject object{{QStringLiteral("event"), notification.event},
                                 {QStringLiteral("phase"), notification.phase},
                                 {QStringLiteral("subject"), notification.subject},
                                 {QStringLiteral("title"), notification.title},
                                 {QStringLiteral("message"), notification.text},
                                 {QStringLiteral("computer"), notification.computer},
                                 {QStringLiteral("folder"), notification.folder},
                                 {QStringLiteral("time"), WithOffset(notification.time)}};
        return {"application/json", {}, QJsonDocument(object).toJson(QJsonDocument::Compact)};
    }
    return {"text/plain; charset=utf-8",
            {{"Title", HeaderValue(notification.title)},
             {"Priority", notification.urgent ? "high" : "default"},
             {"Tags", notification.urgent ? "warning" : "white_check_mark"}},
            notification.text.toUtf8()};
}
