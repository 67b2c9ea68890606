#include "notify/NotificationSender.h"

#include "log/DiagnosticLog.h"
#include "notify/Notification.h"

#include <QMetaEnum>
#include <QNetworkReply>
#include <QNetworkRequest>

namespace {

// Why a post failed, without its address: Qt's own message names the whole URL, topic and all.
QString ErrorOf(const QNetworkReply& reply) {
    if (reply.error() == QNetworkReply::NoError)
        return QString();
    if (reply.error() == QNetworkReply::OperationCanceledError)
        return QStringLiteral("%1 sn icinde cevap gelmedi")
            .arg(NotificationSender::kTimeoutMs / 1000);
    const QVariant status = reply.attribute(QNetworkRequest::HttpStatusCodeAttribute);
    if (status.isValid())
        return QStringLiteral("HTTP ") + status.toString();
    return QString::fromLatin1(
        QMetaEnum::fromType<QNetworkReply::NetworkError>().valueToKey(reply.error()));
}

} // namespace

NotificationSender::NotificationSender(DiagnosticLog& log)
    : m_log(log) {
    m_deadline.setSingleShot(true);
    m_deadline.setInterval(kTimeoutMs);
    connect(&m_deadline, &QTimer::timeout, this, [this] {
        if (m_inFlight)
            m_inFlight->abort();
    });
}

NotificationSender::~NotificationSender() {
    // A post still on its way is given up with the server, and its end heard by nobody.
    if (m_inFlight) {
        m_inFlight->disconnect(this);
        m_inFlight->abort();
    }
}

void NotificationSender::Configure(const NotificationSettings& settings) {
    m_settings = settings;
}

QString NotificationSender::destination() const {
    return m_settings.address
        .adjusted(QUrl::RemoveUserInfo | QUrl::RemovePath | QUrl::RemoveQuery |
                  QUrl::RemoveFragment)
        .toString();
}

void NotificationSender::Send(const Notification& notification) {
    if (!isEnabled())
        return;
    if (m_queue.size() >= kMaxQueued) {
        if (!m_overflowLogged)
            m_log.LogLine(QStringLiteral("Bildirim kuyrugu dolu, bildirim atlandi -- ") +
                              notification.title,
                          true);
        m_overflowLogged = true;
        return;
    }
    m_queue.enqueue(NotificationRequest::Of(notification, m_settings.format));
    if (!m_inFlight)
        PostNext();
}

void NotificationSender::PostNext() {
    if (m_queue.isEmpty()) {
        m_overflowLogged = false;
        return;
    }
    const NotificationRequest next = m_queue.dequeue();
    QNetworkRequest request(m_settings.address);
    request.setHeader(QNetworkRequest::ContentTypeHeader, next.contentType);
    for (const auto& [name, value] : next.headers)
        request.setRawHeader(name, value);
    m_inFlight = m_network.post(request, next.body);
    connect(m_inFlight, &QNetworkReply::finished, this, &NotificationSender::Finished);
    m_deadline.start();
}

void NotificationSender::Finished() {
    m_deadline.stop();
    QNetworkReply* reply = std::exchange(m_inFlight, nullptr);
    reply->deleteLater();
    const QString error = ErrorOf(*reply);
    m_outcome = {QDateTime::currentDateTime(), error};
    if (!error.isEmpty() && m_failureLogged.isEmpty()) {
        m_log.LogLine(QStringLiteral("Bildirim gonderilemedi -- ") + destination() +
                          QStringLiteral(" Hata: ") + error,
                      true);
        m_failureLogged = error;
    } else if (error.isEmpty() && !m_failureLogged.isEmpty()) {
        m_log.LogLine(QStringLiteral("Bildirim yeniden gonderilebiliyor -- ") + destination(),
                      true);
        m_failureLogged.clear();
    }
    PostNext();
}
