#include "support/TdsLoginCapture.h"

#include <QByteArray>
#include <QHostAddress>
#include <QTcpServer>
#include <QTcpSocket>
#include <QtEndian>

namespace {

constexpr int TimeoutMs = 10000;
constexpr char PreLoginType = 0x12;
constexpr char LoginType = 0x10;

// One packet: an eight-byte header with the big-endian total length, then the payload.
std::optional<QByteArray> readPacket(QTcpSocket& socket, char expectedType) {
    auto readExactly = [&](qint64 size) -> std::optional<QByteArray> {
        QByteArray data;
        while (data.size() < size) {
            if (socket.bytesAvailable() == 0 && !socket.waitForReadyRead(TimeoutMs))
                return std::nullopt;
            data += socket.read(size - data.size());
        }
        return data;
    };
    const auto header = readExactly(8);
    if (!header || header->at(0) != expectedType)
        return std::nullopt;
    const quint16 length = qFromBigEndian<quint16>(header->constData() + 2);
    return readExactly(length - 8);
}

void sendPreLoginAnswer(QTcpSocket& socket) {
    // Options VERSION and ENCRYPTION, then their data: a server version and "not supported".
    const QByteArray payload = QByteArray::fromHex("00000b0006"
                                                   "0100110001"
                                                   "ff"
                                                   "0f0007d00000"
                                                   "02");
    QByteArray packet = QByteArray::fromHex("04010000 00000100");
    qToBigEndian<quint16>(quint16(8 + payload.size()), packet.data() + 2);
    socket.write(packet + payload);
    socket.waitForBytesWritten(TimeoutMs);
}

// The login record's variable part: offset and length (in UTF-16 units) of each field,
// after 36 bytes of fixed data. Field 1 is the user, 2 the password, 8 the database.
QString loginField(const QByteArray& record, int field, bool password = false) {
    const int entry = 36 + 4 * field;
    if (record.size() < entry + 4)
        return QString();
    const quint16 offset = qFromLittleEndian<quint16>(record.constData() + entry);
    const quint16 length = qFromLittleEndian<quint16>(record.constData() + entry + 2);
    QByteArray bytes = record.mid(offset, 2 * length);
    if (password) {
        // Each byte is sent with its nibbles swapped and XOR-ed with 0xA5.
        for (char& byte : bytes) {
            const auto plain = quint8(quint8(byte) ^ 0xA5);
            byte = char(quint8((plain << 4) | (plain >> 4)));
        }
    }
    return QString::fromUtf16(reinterpret_cast<const char16_t*>(bytes.constData()),
                              bytes.size() / 2);
}

std::optional<TdsLoginCapture::Login> serveOnce(QTcpServer& server) {
    if (!server.waitForNewConnection(TimeoutMs))
        return std::nullopt;
    QTcpSocket* socket = server.nextPendingConnection();
    if (!readPacket(*socket, PreLoginType))
        return std::nullopt;
    sendPreLoginAnswer(*socket);
    const auto record = readPacket(*socket, LoginType);
    socket->abort();
    if (!record)
        return std::nullopt;
    return TdsLoginCapture::Login{loginField(*record, 1), loginField(*record, 2, true),
                                  loginField(*record, 8)};
}

} // namespace

TdsLoginCapture::TdsLoginCapture()
    : m_login(m_result.get_future()) {
    std::promise<quint16> port;
    std::future<quint16> portReady = port.get_future();
    m_thread = std::thread([this, &port] {
        QTcpServer server;
        server.listen(QHostAddress::LocalHost, 0);
        port.set_value(server.serverPort());
        m_result.set_value(serveOnce(server));
    });
    m_port = portReady.get();
}

TdsLoginCapture::~TdsLoginCapture() {
    m_thread.join();
}

std::optional<TdsLoginCapture::Login> TdsLoginCapture::login() {
    return m_login.get();
}
