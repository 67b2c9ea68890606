#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <QTcpServer>

class QTcpSocket;

// An HTTP server on 127.0.0.1 for download and notification tests. It runs on the test's own
// thread, served by the event loop the client spins. Each request, kept whole with its body, gets
// the same canned bytes, then the connection is closed; a silent server accepts and does not
// answer (it hangs up after 5 s).
class CannedHttpServer {
public:
    CannedHttpServer();

    void setResponse(const QByteArray& rawResponse) { m_response = rawResponse; }
    void setSilent() { m_silent = true; }

    QString url() const;
    int requestCount() const { return static_cast<int>(m_requests.size()); }
    const QList<QByteArray>& requests() const { return m_requests; }

    // A complete response with the status and the body.
    static QByteArray Response(int status, const QByteArray& body);
    // A port on 127.0.0.1 that nothing listens on, so connecting is refused.
    static quint16 ClosedPort();

private:
    void serve(QTcpSocket* socket);

    QTcpServer m_server;
    QByteArray m_response;
    bool m_silent = false;
    QList<QByteArray> m_requests;
};
