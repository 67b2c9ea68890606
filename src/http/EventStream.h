#pragma once

#include <QByteArray>
#include <QPointer>
#include <QTcpSocket>

// A stream of server-sent events on a connection the HTTP server has answered with it: the
// head goes out once, then the events, and the connection stays open until either side closes
// it. A browser's EventSource connects again by itself after kRetryMs. A client that leaves
// kMaxUnsentBytes of events unread (a tablet asleep) gets nothing more: its owner closes it.
class EventStream {
public:
    static constexpr int kRetryMs = 2000;
    static constexpr qint64 kMaxUnsentBytes = 256 * 1024;

    // A stream that is closed.
    EventStream() = default;
    // Writes the head on the socket.
    explicit EventStream(QTcpSocket* socket);

    bool isOpen() const;
    // One event whose data is the text; false, nothing written, when the stream is closed or
    // the client lags behind.
    bool Send(const QByteArray& data);
    // A comment, so that a client gone shows at the next one; false as Send.
    bool Ping();
    void Close() const;

private:
    bool Write(const QByteArray& bytes);

    // Held as the base class: a socket reports its end from inside its own destructor, when it
    // is a QTcpSocket no longer.
    QPointer<QAbstractSocket> m_socket;
};
