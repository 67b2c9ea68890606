#pragma once

#include "config/LocalSettings.h"
#include "http/BoundedTcpServer.h"
#include "http/WebSessions.h"
#include "print/PrintSettings.h"
#include "web/ScreenHandlers.h"
#include "web/StatusHandlers.h"

#include <QAbstractHttpServer>
#include <QSslConfiguration>
#include <QString>
#include <QThreadPool>
#include <optional>

class DiagnosticLog;
class ScreenBackend;
class StatusBackend;
class QTcpSocket;

// The status page, served by the server itself on its own event loop: the printers, the queue
// and the day's journal, and the actions reprint, test page, retry and test notification. It
// listens on 127.0.0.1 alone until a password is set (WebSessions::kMinPasswordLength
// characters; a shorter one is logged and left unused); then on every address, and every page
// needs a login. /metrics answers this machine; with a metrics key, which also opens the port to
// the network, it answers only "Authorization: Bearer" with the key, a wrong key counting as a
// wrong password. With HTTPS it serves TLS only, with the owner's certificate or one made for
// this machine, and its cookie is Secure. Each action is a POST that carries its session's
// token. Connections are bounded by BoundedTcpServer. Ticket pictures are drawn on a worker
// thread, at most kMaxRenders at once, so that no picture holds printing back; beyond that a
// picture is answered 503. The kitchen screens' pages are served here too
// (web/ScreenHandlers.h).
class StatusWebServer : public QAbstractHttpServer {
public:
    static constexpr int kMaxRenders = 2;

    StatusWebServer(const StatusPageSettings& settings, const PrintSettings& printSettings,
                    StatusBackend& backend, ScreenBackend& screens, DiagnosticLog& log);

    // Returns the empty text, or why the page cannot be served: the port, the certificate.
    QString Listen();
    QString url() const;
    // The SHA-256 fingerprint of the certificate served; empty without HTTPS.
    const QString& fingerprint() const { return m_fingerprint; }
    WebSessions& sessions() { return m_sessions; }

protected:
    bool handleRequest(const QHttpServerRequest& request, QTcpSocket* socket) override;
    void missingHandler(const QHttpServerRequest& request, QTcpSocket* socket) override;

private:
    WebReply Dispatch(const QHttpServerRequest& request, WebExchange& exchange);
    bool HostAllowed(const WebExchange& exchange) const;
    // Why /metrics is not answered: no key from another machine, a wrong key, or a wait.
    std::optional<WebReply> MetricsRefusal(const WebExchange& exchange);
    void RenderLater(QTcpSocket* socket, WebReply reply);
    // The TLS configuration of the page's certificate, or the reason there is none.
    std::optional<QSslConfiguration> Tls(QString& error);

    StatusPageSettings m_settings;
    DiagnosticLog& m_log;
    BoundedTcpServer* m_transport = nullptr; // owned as a child, once listening
    QString m_fingerprint;
    WebSessions m_sessions;
    StatusHandlers m_handlers;
    ScreenHandlers m_screens;
    int m_rendering = 0;
    QThreadPool m_renderers; // last: its tasks end before the rest goes
};
