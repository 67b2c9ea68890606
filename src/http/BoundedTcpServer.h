#pragma once

#include <QByteArray>
#include <QDeadlineTimer>
#include <QHash>
#include <QSslConfiguration>
#include <QString>
#include <QTcpServer>
#include <QTimer>
#include <functional>
#include <optional>

class QTcpSocket;

// A listening socket that keeps its connections few, short and small. The printers, the
// database and the log need descriptors and memory of the same process, whatever a phone or
// a scanner on the network does.
//
// At most kMaxConnections, kMaxPerAddress from one address (an IPv6 /64 counted as one). When
// a newcomer finds no slot, an idle connection (one waiting for its next request, or for its
// first) is closed for it, from the address that holds the most; with none idle, an address
// that holds no connection yet takes the oldest of the address that holds the most, so a few
// hosts never take every slot. A request must arrive and be answered within kRequestSeconds; a
// connection then waits kIdleSeconds for the next one. A request line longer than
// kMaxRequestLineBytes is answered 414 and a request larger than kMaxRequestBytes 413, both
// before the HTTP server parses anything, and a client that sends more while kMaxUnsentBytes
// of answers wait for it is no longer read, then closed. A request that asks for it
// ("Connection: close", or HTTP/1.0 without "keep-alive") closes its connection once answered.
//
// With a TLS configuration every connection is TLS; the HTTP server gets it once encrypted.
class BoundedTcpServer : public QTcpServer {
public:
    static constexpr int kMaxConnections = 32;
    static constexpr int kMaxPerAddress = 8;
    static constexpr int kRequestSeconds = 10;
    static constexpr int kIdleSeconds = 5;
    static constexpr qint64 kMaxRequestLineBytes = 2048;
    static constexpr qint64 kMaxRequestBytes = 64 * 1024;
    static constexpr qint64 kMaxUnsentBytes = 256 * 1024;

    BoundedTcpServer(QObject* parent, std::optional<QSslConfiguration> tls);

    // Told once, of the first connection TLS refused for a reason of this server's own (a
    // certificate the TLS library cannot use), not for a client's.
    void setTlsFailed(std::function<void(const QString&)> listener) {
        m_tlsFailed = std::move(listener);
    }
    // Whether the socket's request asked for the connection to end with its answer.
    bool endsWithAnswer(QTcpSocket* socket) const;
    // The socket's answer never ends (a stream of events): it has no deadline and is never
    // idle, and its owner closes it. It still counts against the limits, as a busy one.
    void keepStreaming(QTcpSocket* socket);

protected:
    void incomingConnection(qintptr descriptor) override;

private:
    struct Connection {
        QString address;
        qint64 received = 0;    // bytes of the request on its way in
        QByteArray head;        // its request line and headers, until they are complete
        bool answering = false; // a request is on its way in or its answer on its way out
        bool endsWithAnswer = false;
        bool streaming = false;
        QDeadlineTimer deadline;
    };

    // Whether a newcomer from the address finds a slot, once another connection is closed for
    // it if need be.
    bool MakeRoom(const QString& address);
    // The connection to close for a newcomer, or null: idle ones first, then those of the
    // address holding the most, then the nearest to its deadline.
    QTcpSocket* Displaced(const QString& onlyAddress, bool busyToo) const;
    void Encrypt(QTcpSocket* socket);
    void Received(QTcpSocket* socket);
    void Refuse(QTcpSocket* socket, int status);
    void Written(QTcpSocket* socket);
    void Forget(QTcpSocket* socket);
    void Sweep();

    std::optional<QSslConfiguration> m_tls;
    std::function<void(const QString&)> m_tlsFailed;
    bool m_tlsFailureTold = false;
    QHash<QTcpSocket*, Connection> m_connections;
    QHash<QString, int> m_perAddress;
    QTimer m_sweep; // one timer for every connection's deadline
};
