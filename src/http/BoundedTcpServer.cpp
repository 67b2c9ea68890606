#include "http/BoundedTcpServer.h"

#include "http/AddressKey.h"

#include <QTcpSocket>

BoundedTcpServer::BoundedTcpServer(QObject* parent)
    : QTcpServer(parent) {
    m_sweep.setInterval(1000);
    connect(&m_sweep, &QTimer::timeout, this, &BoundedTcpServer::Sweep);
}

void BoundedTcpServer::incomingConnection(qintptr descriptor) {
    auto* socket = new QTcpSocket(this);
    if (!socket->setSocketDescriptor(descriptor)) {
        delete socket;
        return;
    }
    const QString address = AddressKey(socket->peerAddress());
    if (m_connections.size() >= kMaxConnections || m_perAddress.value(address) >= kMaxPerAddress) {
        socket->abort();
        delete socket;
        return;
    }
    m_connections.insert(socket, {address, 0, true, QDeadlineTimer(kRequestSeconds * 1000)});
    ++m_perAddress[address];
    m_sweep.start();
    connect(socket, &QObject::destroyed, this, [this, socket] { Closed(socket); });
    connect(socket, &QTcpSocket::disconnected, socket, &QObject::deleteLater);
    // Connected before the HTTP server's own slot, so it sees each chunk first.
    connect(socket, &QTcpSocket::readyRead, this, [this, socket] { Received(socket); });
    connect(socket, &QTcpSocket::bytesWritten, this, [this, socket] { Written(socket); });
    addPendingConnection(socket);
}

void BoundedTcpServer::Received(QTcpSocket* socket) {
    Connection& connection = m_connections[socket];
    if (!connection.answering) {
        connection.answering = true;
        connection.deadline.setRemainingTime(kRequestSeconds * 1000);
    }
    // A browser waits for each answer before it asks again; this client only sends.
    if (socket->bytesToWrite() > kMaxUnsentBytes) {
        socket->readAll();
        socket->disconnectFromHost();
        return;
    }
    connection.received += socket->bytesAvailable();
    if (connection.received <= kMaxRequestBytes)
        return;
    socket->readAll();
    socket->write("HTTP/1.1 413 Payload Too Large\r\nConnection: close\r\n"
                  "Content-Length: 0\r\n\r\n");
    socket->disconnectFromHost();
}

void BoundedTcpServer::Written(QTcpSocket* socket) {
    if (socket->bytesToWrite() > 0)
        return;
    // The answer is out: the next request counts afresh.
    Connection& connection = m_connections[socket];
    connection.received = 0;
    connection.answering = false;
    connection.deadline.setRemainingTime(kIdleSeconds * 1000);
}

void BoundedTcpServer::Closed(QTcpSocket* socket) {
    const QString address = m_connections.take(socket).address;
    if (--m_perAddress[address] <= 0)
        m_perAddress.remove(address);
    if (m_connections.isEmpty())
        m_sweep.stop();
}

void BoundedTcpServer::Sweep() {
    for (auto it = m_connections.cbegin(); it != m_connections.cend(); ++it) {
        if (it->deadline.hasExpired())
            it.key()->abort();
    }
}
