#include "support/CannedHttpServer.h"

#include <QRegularExpression>
#include <QTcpSocket>
#include <QTimer>
#include <memory>
#include <stdexcept>

namespace {
constexpr std::chrono::seconds kSilentHangUp{5};
}

CannedHttpServer::CannedHttpServer() {
    if (!m_server.listen(QHostAddress::LocalHost, 0))
        throw std::runtime_error("cannot listen on 127.0.0.1");
    QObject::connect(&m_server, &QTcpServer::newConnection, &m_server, [this] {
        while (QTcpSocket* socket = m_server.nextPendingConnection())
            serve(socket);
    });
}

QString CannedHttpServer::url() const {
    return QStringLiteral("http://127.0.0.1:%1/kurlar/today.xml").arg(m_server.serverPort());
}

QByteArray CannedHttpServer::Response(int status, const QByteArray& body) {
    return "HTTP/1.1 " + QByteArray::number(status) + " Canned\r\n" +
           "Content-Type: text/xml\r\nConnection: close\r\nContent-Length: " +
           QByteArray::number(body.size()) + "\r\n\r\n" + body;
}

quint16 CannedHttpServer::ClosedPort() {
    QTcpServer probe;
    if (!probe.listen(QHostAddress::LocalHost, 0))
        throw std::runtime_error("cannot listen on 127.0.0.1");
    const quint16 port = probe.serverPort();
    probe.close();
    return port;
}

void CannedHttpServer::serve(QTcpSocket* socket) {
    // Sockets are children of the server and live as long as it does.
    auto request = std::make_shared<QByteArray>();
    QObject::connect(socket, &QTcpSocket::readyRead, socket, [this, socket, request] {
        request->append(socket->readAll());
        const qsizetype end = request->indexOf("\r\n\r\n");
        const QRegularExpressionMatch length =
            QRegularExpression(QStringLiteral("\r\nContent-Length: *(\\d+)"),
                               QRegularExpression::CaseInsensitiveOption)
                .match(QString::fromLatin1(request->left(end)));
        if (end < 0 || request->size() < end + 4 + length.captured(1).toLongLong())
            return;
        m_requests.append(std::exchange(*request, QByteArray()));
        if (m_silent) {
            // Hangs up eventually, so a download that ignores its own timeout cannot hang the test.
            QTimer::singleShot(kSilentHangUp, socket, [socket] { socket->abort(); });
            return;
        }
        socket->write(m_response);
        socket->disconnectFromHost();
    });
}
