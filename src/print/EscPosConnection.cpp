#include "print/EscPosConnection.h"

#include "print/EscPosDeviceFile.h"
#include "print/EscPosStatus.h"

#include <QTcpSocket>
#include <algorithm>

namespace {

class TcpConnection : public EscPosConnection {
public:
    TcpConnection(const EscPosAddress& address, int connectTimeout)
        : m_path(address.path) {
        m_socket.connectToHost(address.host, static_cast<quint16>(address.port));
        if (!m_socket.waitForConnected(connectTimeout))
            throw Failure(EscPosStatus::kOffline, m_path, m_socket.errorString());
    }

    ~TcpConnection() override { m_socket.abort(); }

    void Write(const QByteArray& bytes, QDeadlineTimer deadline) override {
        if (m_socket.write(bytes) != bytes.size())
            throw Broken();
        while (m_socket.bytesToWrite() > 0) {
            if (m_socket.waitForBytesWritten(Remaining(deadline)))
                continue;
            if (m_socket.state() != QAbstractSocket::ConnectedState)
                throw Broken();
            throw Failure(EscPosStatus::kNoAnswer, m_path, QStringLiteral("yazdirma zaman asimi"));
        }
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
    // Without the socket's words for it, which differ from one try to the next: the same
    // failure is reported once.
    PrinterError Broken() const {
        return Failure(EscPosStatus::kOffline, m_path, QStringLiteral("baglanti koptu"));
    }

    QString m_path;
    QTcpSocket m_socket;
};

} // namespace

std::unique_ptr<EscPosConnection> EscPosConnection::Open(const EscPosAddress& address,
                                                         const EscPosTimeouts& timeouts) {
    if (address.host.isEmpty())
        return std::make_unique<EscPosDeviceFile>(address);
    return std::make_unique<TcpConnection>(address, timeouts.connect);
}

PrinterError EscPosConnection::Failure(const QString& reason, const QString& path,
                                       const QString& detail) {
    QString message = reason + QStringLiteral(": ") + path;
    if (!detail.isEmpty())
        message += QStringLiteral(" (") + detail + QLatin1Char(')');
    return PrinterError(message);
}

int EscPosConnection::Remaining(QDeadlineTimer deadline) {
    return static_cast<int>(std::max<qint64>(0, deadline.remainingTime()));
}
