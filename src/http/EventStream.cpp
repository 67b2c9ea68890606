#include "http/EventStream.h"

EventStream::EventStream(QTcpSocket* socket)
    : m_socket(socket) {
    Write("HTTP/1.1 200 OK\r\nContent-Type: text/event-stream; charset=utf-8\r\n"
          "Cache-Control: no-store\r\nX-Content-Type-Options: nosniff\r\n\r\nretry: " +
          QByteArray::number(kRetryMs) + "\n\n");
}

bool EventStream::isOpen() const {
    return m_socket && m_socket->state() == QAbstractSocket::ConnectedState;
}

bool EventStream::Send(const QByteArray& data) {
    QByteArray event;
    for (const QByteArray& line : data.split('\n'))
        event += "data: " + line + '\n';
    return Write(event + '\n');
}

bool EventStream::Ping() {
    return Write(": \n\n");
}

void EventStream::Close() const {
    if (m_socket)
        m_socket->disconnectFromHost();
}

bool EventStream::Write(const QByteArray& bytes) {
    if (!isOpen() || m_socket->bytesToWrite() > kMaxUnsentBytes)
        return false;
    m_socket->write(bytes);
    return true;
}
