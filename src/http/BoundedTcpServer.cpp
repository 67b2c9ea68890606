#include "http/BoundedTcpServer.h"

#include "http/AddressKey.h"
#include "http/WebExchange.h"

#include <QSslSocket>
#include <limits>
#include <tuple>

namespace {

bool HeadComplete(const QByteArray& head) {
    return head.contains("\r\n\r\n") || head.contains("\n\n");
}

// HTTP/1.1 keeps the connection unless the request says "close"; HTTP/1.0 ends it unless the
// request says "keep-alive".
bool AsksToClose(const QByteArray& head) {
    const QList<QByteArray> lines = head.split('\n');
    bool close = lines.first().trimmed().endsWith("HTTP/1.0");
    for (const QByteArray& line : lines) {
        const qsizetype colon = line.indexOf(':');
        if (colon < 0 || line.left(colon).trimmed().toLower() != "connection")
            continue;
        for (const QByteArray& option : line.mid(colon + 1).toLower().split(',')) {
            if (option.trimmed() == "close")
                return true;
            if (option.trimmed() == "keep-alive")
                close = false;
        }
    }
    return close;
}

} // namespace

BoundedTcpServer::BoundedTcpServer(QObject* parent, std::optional<QSslConfiguration> tls)
    : QTcpServer(parent)
    , m_tls(std::move(tls)) {
    m_sweep.setInterval(1000);
    connect(&m_sweep, &QTimer::timeout, this, &BoundedTcpServer::Sweep);
}

bool BoundedTcpServer::endsWithAnswer(QTcpSocket* socket) const {
    return m_connections.value(socket).endsWithAnswer;
}

void BoundedTcpServer::incomingConnection(qintptr descriptor) {
    QTcpSocket* socket = m_tls ? new QSslSocket(this) : new QTcpSocket(this);
    if (!socket->setSocketDescriptor(descriptor)) {
        delete socket;
        return;
    }
    const QString address = AddressKey(socket->peerAddress());
    if (!MakeRoom(address)) {
        socket->abort();
        delete socket;
        return;
    }
    Connection connection;
    connection.address = address;
    connection.deadline.setRemainingTime(kRequestSeconds * 1000);
    m_connections.insert(socket, connection);
    ++m_perAddress[address];
    // Restarted by every newcomer, a steady trickle of them would keep it from ever firing.
    if (!m_sweep.isActive())
        m_sweep.start();
    connect(socket, &QObject::destroyed, this, [this, socket] { Forget(socket); });
    connect(socket, &QTcpSocket::disconnected, socket, &QObject::deleteLater);
    // Connected before the HTTP server's own slot, so it sees each chunk first.
    connect(socket, &QTcpSocket::readyRead, this, [this, socket] { Received(socket); });
    connect(socket, &QTcpSocket::bytesWritten, this, [this, socket] { Written(socket); });
    if (m_tls)
        Encrypt(socket);
    else
        addPendingConnection(socket);
}

bool BoundedTcpServer::MakeRoom(const QString& address) {
    const int own = m_perAddress.value(address);
    QTcpSocket* displaced = nullptr;
    if (own >= kMaxPerAddress)
        displaced = Displaced(address, false);
    else if (m_connections.size() >= kMaxConnections)
        displaced = Displaced(QString(), own == 0);
    else
        return true;
    if (!displaced)
        return false;
    Forget(displaced);
    displaced->abort();
    return true;
}

QTcpSocket* BoundedTcpServer::Displaced(const QString& onlyAddress, bool busyToo) const {
    QTcpSocket* chosen = nullptr;
    std::tuple<bool, int, qint64> chosenRank;
    for (auto it = m_connections.cbegin(); it != m_connections.cend(); ++it) {
        const Connection& connection = it.value();
        if (!onlyAddress.isEmpty() && connection.address != onlyAddress)
            continue;
        const int held = m_perAddress.value(connection.address);
        // A host's only connection stays, busy: that host is served as well as the newcomer.
        if (connection.answering && (!busyToo || held < 2))
            continue;
        // A stream, whose deadline is forever, goes last.
        const qint64 remaining = connection.deadline.isForever()
                                     ? std::numeric_limits<qint64>::max()
                                     : connection.deadline.remainingTime();
        const auto rank = std::make_tuple(connection.answering, -held, remaining);
        if (!chosen || rank < chosenRank) {
            chosen = it.key();
            chosenRank = rank;
        }
    }
    return chosen;
}

void BoundedTcpServer::Encrypt(QTcpSocket* socket) {
    auto* tls = static_cast<QSslSocket*>(socket);
    tls->setSslConfiguration(*m_tls);
    connect(tls, &QSslSocket::encrypted, this, [this, tls] { addPendingConnection(tls); });
    connect(tls, &QAbstractSocket::errorOccurred, this,
            [this, tls](QAbstractSocket::SocketError error) {
                if (tls->isEncrypted())
                    return;
                const bool own = error == QAbstractSocket::SslInvalidUserDataError ||
                                 error == QAbstractSocket::SslInternalError;
                if (own && !m_tlsFailureTold && m_tlsFailed) {
                    m_tlsFailureTold = true;
                    m_tlsFailed(tls->errorString());
                }
                tls->abort();
            });
    tls->startServerEncryption();
}

void BoundedTcpServer::Received(QTcpSocket* socket) {
    const auto found = m_connections.find(socket);
    if (found == m_connections.end())
        return;
    Connection& connection = *found;
    if (!connection.answering) {
        connection.answering = true;
        connection.received = 0;
        connection.head.clear();
        connection.endsWithAnswer = false;
        connection.deadline.setRemainingTime(kRequestSeconds * 1000);
    }
    // A browser waits for each answer before it asks again; this client only sends.
    if (socket->bytesToWrite() > kMaxUnsentBytes) {
        socket->readAll();
        socket->disconnectFromHost();
        return;
    }
    const qint64 available = socket->bytesAvailable();
    connection.received += available;
    if (connection.received > kMaxRequestBytes)
        return Refuse(socket, 413);
    if (HeadComplete(connection.head))
        return;
    // The HTTP server reads every chunk whole after this, so each is seen here once.
    connection.head += socket->peek(available);
    const qsizetype lineEnd = connection.head.indexOf('\n');
    if ((lineEnd < 0 ? connection.head.size() : lineEnd) > kMaxRequestLineBytes)
        return Refuse(socket, 414);
    if (HeadComplete(connection.head))
        connection.endsWithAnswer = AsksToClose(connection.head);
}

void BoundedTcpServer::Refuse(QTcpSocket* socket, int status) {
    socket->readAll();
    WebReply reply =
        WebReply::Text(status, status == 414 ? QByteArray("URI Too Long") : "Payload Too Large");
    reply.headers.append(std::pair<QByteArray, QByteArray>("Connection", "close"));
    socket->write(reply.Serialized());
    socket->disconnectFromHost();
}

void BoundedTcpServer::keepStreaming(QTcpSocket* socket) {
    const auto found = m_connections.find(socket);
    if (found == m_connections.end())
        return;
    found->streaming = true;
    found->answering = true;
    found->deadline = QDeadlineTimer(QDeadlineTimer::Forever);
}

void BoundedTcpServer::Written(QTcpSocket* socket) {
    const auto found = m_connections.find(socket);
    if (found == m_connections.end() || !found->answering || found->streaming ||
        socket->bytesToWrite() > 0)
        return;
    if (found->endsWithAnswer) {
        socket->disconnectFromHost();
        return;
    }
    // The answer is out: the connection waits for the next request.
    found->answering = false;
    found->deadline.setRemainingTime(kIdleSeconds * 1000);
}

void BoundedTcpServer::Forget(QTcpSocket* socket) {
    const auto found = m_connections.find(socket);
    if (found == m_connections.end())
        return;
    if (--m_perAddress[found->address] <= 0)
        m_perAddress.remove(found->address);
    m_connections.erase(found);
    if (m_connections.isEmpty())
        m_sweep.stop();
}

void BoundedTcpServer::Sweep() {
    for (auto it = m_connections.cbegin(); it != m_connections.cend(); ++it) {
        if (it->deadline.hasExpired())
            it.key()->abort();
    }
}
