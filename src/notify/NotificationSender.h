#pragma once

#include "config/LocalSettings.h"
#include "notify/NotificationRequest.h"

#include <QDateTime>
#include <QNetworkAccessManager>
#include <QObject>
#include <QQueue>
#include <QString>
#include <QTimer>

class DiagnosticLog;
class QNetworkReply;
struct Notification;

// Posts the notifications to their address one after another, on the event loop and never in
// the caller's way: Send only queues. Qt's network access runs the transfer outside the loop,
// so a tick that lets events through waits for no address. Each post has kTimeoutMs to be
// answered, then it is given up; at most kMaxQueued wait behind it, and a notification beyond
// them is dropped. A failing address is one forced log line until a post gets through again,
// which is one more; an overflow is one line until the queue has drained. Nothing is retried:
// what the address missed, it missed.
class NotificationSender : public QObject {
public:
    static constexpr int kTimeoutMs = 5000;
    static constexpr int kMaxQueued = 16;

    // The last post's outcome, for the status page.
    struct Outcome {
        QDateTime time; // invalid before the first post ended
        QString error;  // empty when it got through
    };

    explicit NotificationSender(DiagnosticLog& log);
    ~NotificationSender() override;

    void Configure(const NotificationSettings& settings);
    bool isEnabled() const { return !m_settings.address.isEmpty(); }
    // The address without its path, query or credentials (an ntfy topic is a secret), for the
    // log and the page.
    QString destination() const;
    const Outcome& lastOutcome() const { return m_outcome; }

    void Send(const Notification& notification);

private:
    void PostNext();
    void Finished();

    DiagnosticLog& m_log;
    NotificationSettings m_settings;
    QNetworkAccessManager m_network;
    QQueue<NotificationRequest> m_queue;
    QNetworkReply* m_inFlight = nullptr;
    QTimer m_deadline;
    Outcome m_outcome;
    QString m_failureLogged; // until a post gets through
    bool m_overflowLogged = false;
};
