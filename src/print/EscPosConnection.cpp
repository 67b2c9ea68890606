#include "print/EscPosConnection.h"

#include "print/EscPosDeviceFile.h"
#include "print/EscPosStatus.h"

#include <QHostAddress>
#include <QHostInfo>
#include <QTcpSocket>
#include <algorithm>
#include <future>
#include <thread>
#ifndef Q_OS_WIN
#include <poll.h>
#include <sys/ioctl.h>
#endif

namespace {

// The system's resolver has no timeout of its own: a dead DNS server would hold the tick for
// as long as it retries. The lookup runs on a thread of its own, left to finish in the
// background when the deadline passes first.
QHostAddress Resolve(const QString& host, QDeadlineTimer deadline, const QString& path) {
    if (const QHostAddress literal(host); !literal.isNull())
        return literal;
    auto lookup = std::make_shared<std::promise<QHostInfo>>();
    std::future<QHostInfo> answer = lookup->get_future();
    std::thread([lookup, host] { lookup->set_value(QHostInfo::fromName(host)); }).detach();
    if (answer.wait_for(std::chrono::milliseconds(std::max<qint64>(0, deadline.remainingTime()))) !=
        std::future_status::ready)
        throw EscPosConnection::Failure(EscPosStatus::kOffline, path,
                                        QStringLiteral("sunucu adi zamaninda cozulemedi"));
    const QHostInfo info = answer.get();
    if (info.addresses().isEmpty())
        throw EscPosConnection::Failure(EscPosStatus::kOffline, path, info.errorString());
    return info.addresses().first();
}

class TcpConnection : public EscPosConnection {
public:
    TcpConnection(const EscPosAddress& address, int connectTimeout)
        : EscPosConnection(address.path) {
        const QDeadlineTimer deadline(connectTimeout);
        m_socket.connectToHost(Resolve(address.host, deadline, m_path),
                               static_cast<quint16>(address.port));
        if (!m_socket.waitForConnected(Remaining(deadline)))
            throw Failure(EscPosStatus::kOffline, m_path, m_socket.errorString());
    }

    ~TcpConnection() override { m_socket.abort(); }

    void Write(const QByteArray& bytes, int idleMilliseconds) override {
        if (m_socket.write(bytes) != bytes.size())
            throw Broken();
        while (m_socket.bytesToWrite() > 0) {
            if (m_socket.waitForBytesWritten(idleMilliseconds))
                continue;
            if (m_socket.state() != QAbstractSocket::ConnectedState)
                throw Broken();
            throw TimedOut();
        }
#ifndef Q_OS_WIN
        Drain(static_cast<int>(m_socket.socketDescriptor()), idleMilliseconds);
#endif
    }

    QByteArray Read(int count, QDeadlineTimer deadline) override {
        QByteArray answer;
        while (answer.size() < count) {
            if (m_socket.bytesAvailable() > 0 || m_socket.waitForReadyRead(Remaining(deadline))) {
                answer += m_socket.read(count - answer.size());
                continue;
            }
            if (m_socket.state() != QAbstractSocket::ConnectedState)
                throw Broken();
            break;
        }
        return answer;
    }

    void DropInput() override {
        while (m_socket.waitForReadyRead(0))
            m_socket.readAll();
        m_socket.readAll();
    }

private:
    QTcpSocket m_socket;
};

} // namespace

std::unique_ptr<EscPosConnection> EscPosConnection::Open(const EscPosAddress& address,
                                                         const EscPosTimeouts& timeouts) {
    if (address.host.isEmpty())
        return std::make_unique<EscPosDeviceFile>(address, timeouts.write);
    return std::make_unique<TcpConnection>(address, timeouts.connect);
}

PrinterError EscPosConnection::Failure(const QString& reason, const QString& path,
                                       const QString& detail) {
    QString message = reason + QStringLiteral(": ") + path;
    if (!detail.isEmpty())
        message += QStringLiteral(" (") + detail + QLatin1Char(')');
    return PrinterError(message);
}

EscPosConnection::EscPosConnection(QString path)
    : m_path(std::move(path)) {}

PrinterError EscPosConnection::TimedOut() const {
    return Failure(EscPosStatus::kNoAnswer, m_path, QStringLiteral("yazdirma zaman asimi"));
}

PrinterError EscPosConnection::Broken(const QString& detail) const {
    return Failure(EscPosStatus::kOffline, m_path,
                   detail.isEmpty() ? QStringLiteral("baglanti koptu") : detail);
}

int EscPosConnection::Remaining(QDeadlineTimer deadline) {
    return static_cast<int>(std::max<qint64>(0, deadline.remainingTime()));
}

#ifndef Q_OS_WIN
void EscPosConnection::Drain(int descriptor, int idleMilliseconds) const {
    constexpr int kLook = 10; // milliseconds between looks at the queue
    QDeadlineTimer stalled(idleMilliseconds);
    int last = -1;
    // TIOCOUTQ is SIOCOUTQ on sockets; a device without an output queue says nothing.
    for (int pending = 0; ::ioctl(descriptor, TIOCOUTQ, &pending) == 0 && pending > 0;) {
        if (pending != last) {
            last = pending;
            stalled.setRemainingTime(idleMilliseconds);
        } else if (stalled.hasExpired()) {
            throw TimedOut();
        }
        pollfd hangup{descriptor, 0, 0}; // reports only a hang-up or an error
        if (::poll(&hangup, 1, kLook) > 0)
            throw Broken();
    }
}
#endif
