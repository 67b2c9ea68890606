#include "support/EscPosEmulator.h"

#include <QFile>
#include <QSemaphore>
#include <QTcpServer>
#include <QTcpSocket>
#include <QThread>
#include <memory>
#ifdef Q_OS_UNIX
#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>
#endif

EscPosEmulator::EscPosEmulator(bool pseudoTerminal) {
    QSemaphore ready;
    m_thread = std::thread([this, pseudoTerminal, &ready] {
#ifdef Q_OS_UNIX
        if (pseudoTerminal) {
            // Not blocking: QFile reads until it has all it asked for.
            const int master = ::posix_openpt(O_RDWR | O_NOCTTY);
            ::fcntl(master, F_SETFL, O_NONBLOCK);
            ::grantpt(master);
            ::unlockpt(master);
            // Held open, as a port is, with its default settings until the server sets it up.
            const int slave = ::open(::ptsname(master), O_RDWR | O_NOCTTY);
            m_path = QStringLiteral("escpos:") + QString::fromLocal8Bit(::ptsname(master));
            ready.release();
            QFile line;
            line.open(master, QIODevice::ReadWrite | QIODevice::Unbuffered);
            Serve(line, [master] {
                pollfd wanted{master, POLLIN, 0};
                return ::poll(&wanted, 1, 10) > 0 ? 1 : 0;
            });
            ::close(slave);
            ::close(master);
            return;
        }
#endif
        QTcpServer server;
#ifdef Q_OS_UNIX
        // A printer acknowledges little more than it has read: set before listening, so the
        // window offered on connection is small already.
        const int listening = ::socket(AF_INET, SOCK_STREAM, 0);
        const int buffer = 2048;
        ::setsockopt(listening, SOL_SOCKET, SO_RCVBUF, &buffer, sizeof buffer);
        sockaddr_in local{};
        local.sin_family = AF_INET;
        local.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        ::bind(listening, reinterpret_cast<sockaddr*>(&local), sizeof local);
        ::listen(listening, 4);
        server.setSocketDescriptor(listening);
        m_listening = listening;
#else
        server.listen(QHostAddress::LocalHost);
#endif
        m_path = QStringLiteral("escpos://127.0.0.1:%1").arg(server.serverPort());
        ready.release();
        while (!m_stop) {
            if (!server.hasPendingConnections() && !server.waitForNewConnection(10))
                continue;
            const std::unique_ptr<QTcpSocket> client(server.nextPendingConnection());
            Serve(*client, [&client] {
                if (client->bytesAvailable() > 0 || client->waitForReadyRead(10))
                    return 1;
                return client->state() == QAbstractSocket::ConnectedState ? 0 : -1;
            });
        }
    });
    ready.acquire();
}

EscPosEmulator::~EscPosEmulator() {
    m_stop = true;
    m_thread.join();
}

void EscPosEmulator::set(Fault fault) {
    m_fault = fault;
#ifdef Q_OS_UNIX
    const int least = 1; // so a new line takes a few bytes only
    if (fault == Fault::Hangs)
        ::setsockopt(m_listening, SOL_SOCKET, SO_RCVBUF, &least, sizeof least);
#endif
}

void EscPosEmulator::Serve(QIODevice& line, const std::function<int()>& waitForData) {
    for (qsizetype received = 0; !m_stop;) {
        if (m_fault == Fault::Hangs) {
            QThread::msleep(10);
            continue;
        }
        const int data = waitForData();
        if (data <= 0) {
            if (data < 0)
                return;
            continue;
        }
        const bool slow = m_fault == Fault::ReadsSlowly;
        const QByteArray bytes = line.read(slow ? 96 : 65536);
        received += bytes.size();
        if (bytes.isEmpty() || (m_fault == Fault::DropsMidTicket && received > 2000))
            return;
        // Parsed before answering: a test that hears the answer after a ticket finds it cut.
        m_input += bytes;
        Parse();
        const QByteArray answers = Answers(bytes);
        if (!answers.isEmpty() && m_fault != Fault::NeverAnswers) {
            line.write(answers);
            line.waitForBytesWritten(100);
        }
        if (slow)
            QThread::msleep(10);
    }
}

QByteArray EscPosEmulator::Answers(const QByteArray& bytes) {
    const Condition condition = m_condition;
    // DLE EOT 1, 2 and 4: offline, cover open or paper end stop, paper end or near end.
    const int offline = condition >= Condition::PaperEnd ? 0x08 : 0;
    const int stopped = condition == Condition::CoverOpen ? 0x04 : offline ? 0x20 : 0;
    const int paper = condition == Condition::PaperEnd       ? 0x6C
                      : condition == Condition::PaperNearEnd ? 0x0C
                                                             : 0;
    const QByteArray seen = m_lastReceived + bytes;
    QByteArray answers;
    for (qsizetype at = seen.indexOf("\x10\x04"); at >= 0 && at + 2 < seen.size();
         at = seen.indexOf("\x10\x04", at + 1)) {
        const char n = seen.at(at + 2);
        if (n >= 1 && n <= 4 && at + 2 >= m_lastReceived.size())
            answers += char(0x12 | (n == 1 ? offline : n == 2 ? stopped : paper));
    }
    m_lastReceived = seen.right(2);
    return answers;
}

void EscPosEmulator::Parse() {
    for (int used = 1; used > 0; m_input.remove(0, used)) {
        const auto at = [this](int i) {
            return i < m_input.size() ? static_cast<uchar>(m_input.at(i)) : 0;
        };
        const int band = 8 + (at(4) + 256 * at(5)) * (at(6) + 256 * at(7));
        const auto ring = [this](const char* command, int beeps, int length) {
            const QMutexLocker lock(&m_mutex);
            if (!m_bells.isEmpty())
                m_bells.last() += QStringList(beeps, QString::fromLatin1(command));
            return length;
        };
        used = 0;
        if (m_input.startsWith('\0')) {
            used = 1;
        } else if (m_input.startsWith("\x1B\x40")) { // ESC @
            m_rows.clear();
            used = 2;
        } else if (m_input.size() >= 3 && m_input.startsWith("\x1B\x64")) { // ESC d n
            used = 3;
        } else if (m_input.size() >= 3 && m_input.startsWith("\x10\x04")) { // answered on arrival
            used = 3;
        } else if (m_input.startsWith("\x1D\x76\x30") && m_input.size() >= qMax(8, band)) {
            m_rowBytes = at(4) + 256 * at(5); // GS v 0 m xL xH yL yH, rows
            m_rows += m_input.mid(8, band - 8);
            used = band;
        } else if (m_input.startsWith(QByteArrayLiteral("\x1D\x56\x42\x00"))) { // GS V: cut
            QImage ticket(reinterpret_cast<const uchar*>(m_rows.constData()), m_rowBytes * 8,
                          int(m_rows.size() / m_rowBytes), m_rowBytes, QImage::Format_Mono);
            ticket.setColorTable({qRgb(255, 255, 255), qRgb(0, 0, 0)});
            const QMutexLocker lock(&m_mutex);
            m_tickets << ticket.copy();
            m_bells << QStringList();
            used = 4;
            if (m_fault == Fault::RunsOutAfterTicket)
                m_condition = Condition::PaperEnd;
        } else if (m_input.size() >= 4 && m_input.startsWith("\x1B\x42")) { // ESC B n t
            used = ring("ESC B", at(2), 4);
        } else if (m_input.startsWith("\x1B\x28\x41") &&
                   m_input.size() >= 5 + at(3) + 256 * at(4)) { // ESC ( A pL pH fn n c t1 t2
            used = ring("ESC ( A", at(7), 5 + at(3) + 256 * at(4));
        } else if (m_input.size() >= 6 && m_input.startsWith("\x1B\x1D\x07")) { // m t1 t2
            used = ring("ESC GS BEL", 1, 6);
        } else if (m_input.size() >= 5 && m_input.startsWith("\x1B\x70")) { // ESC p m t1 t2
            used = ring("ESC p", 1, 5);
        }
    }
}
