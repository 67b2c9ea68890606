#pragma once

#include <QDeadlineTimer>
#include <QHash>
#include <QString>
#include <QTcpServer>
#include <QTimer>

class QTcpSocket;

// A listening socket that keeps its connections few, short and small. The printers, the
// database and the log need descriptors and memory of the same process, whatever a phone or
// a scanner on the network does. Connections beyond kMaxConnections, or beyond kMaxPerAddress
// from one address (an IPv6 /64 counted as one), are refused. A request must arrive and be
// answered within kRequestSeconds; a connection that then stays silent is closed after
// kIdleSeconds. A request larger than kMaxRequestBytes is answered 413 and closed, and a client
// that sends more while kMaxUnsentBytes of answers wait for it is no longer read, then closed.
class BoundedTcpServer : public QTcpServer {
public:
    static constexpr int kMaxConnections = 32;
    static constexpr int kMaxPerAddress = 8;
    static constexpr int kRequestSeconds = 10;
    static constexpr int kIdleSeconds = 30;
    static constexpr qint64 kMaxRequestBytes = 64 * 1024;
    static constexpr qint64 kMaxUnsentBytes = 256 * 1024;

    explicit BoundedTcpServer(QObject* parent);

protected:
    void incomingConnection(qintptr descriptor) override;

private:
    struct Connection {
        QString address;
        qint64 received = 0;
        bool answering = true; // a request is on its way in or its answer on its way out
        QDeadlineTimer deadline;
    };

    void Received(QTcpSocket* socket);
    void Written(QTcpSocket* socket);
    void Closed(QTcpSocket* socket);
    void Sweep();

    QHash<QTcpSocket*, Connection> m_connections;
    QHash<QString, int> m_perAddress;
    QTimer m_sweep; // one timer for every connection's deadline
};
