#pragma once

#include "config/LocalSettings.h"

#include <QByteArray>
#include <QList>
#include <utility>

struct Notification;

// A notification as it is posted: for ntfy the text as the body with its Title, Priority and
// Tags headers; for any other webhook one JSON object with every field.
struct NotificationRequest {
    QByteArray contentType;
    QList<std::pair<QByteArray, QByteArray>> headers;
    QByteArray body;

    static NotificationRequest Of(const Notification& notification,
                                  NotificationSettings::Format format);
};
