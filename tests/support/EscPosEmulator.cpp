#include "support/EscPosEmulator.h"

#include <QMutexLocker>
#include <algorithm>
#include <arpa/inet.h>
#include <cstring>
#include <fcntl.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <termios.h>
#include <unistd.h>

namespace {

bool Readable(int fd) {
    pollfd wanted{fd, POLLIN, 0};
    return ::poll(&wanted, 1, 10) > 0;
}

int Byte(const QByteArray& bytes, int index) {
    return static_cast<unsigned char>(bytes.at(index));
}

} // namespace

EscPosEmulator::EscPosEmulator(Line line) {
    if (line == Line::Tcp) {
        m_listener = ::socket(AF_INET, SOCK_STREAM, 0);
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        socklen_t size = sizeof address;
        ::bind(m_listener, reinterpret_cast<sockaddr*>(&address), size);
        ::listen(m_listener, 4);
        ::getsockname(m_listener, reinterpret_cast<sockaddr*>(&address), &size);
        m_path = QStringLiteral("escpos://127.0.0.1:%1").arg(ntohs(address.sin_port));
    } else {
        m_terminal = ::posix_openpt(O_RDWR | O_NOCTTY);
        ::grantpt(m_terminal);
        ::unlockpt(m_terminal);
        const QString device = QString::fromLocal8Bit(::ptsname(m_terminal));
        m_slave = ::open(::ptsname(m_terminal), O_RDWR | O_NOCTTY);
        termios raw{};
        ::tcgetattr(m_slave, &raw);
        ::cfmakeraw(&raw);
        ::tcsetattr(m_slave, TCSANOW, &raw);
        m_path = QStringLiteral("escpos:") + device;
    }
    m_thread = std::thread([this] { Run(); });
}

EscPosEmulator::~EscPosEmulator() {
    m_stop = true;
    m_thread.join();
    for (const int fd : {m_listener, m_terminal, m_slave})
        ::close(fd);
}

QList<QImage> EscPosEmulator::tickets() const {
    const QMutexLocker lock(&m_mutex);
    return m_tickets;
}

void EscPosEmulator::Run() {
    while (!m_stop) {
        if (m_terminal >= 0) {
            Serve(m_terminal);
        } else if (Readable(m_listener)) {
            const int client = ::accept(m_listener, nullptr, nullptr);
            m_input.clear();
            Serve(client);
            ::close(client);
        }
    }
}

void EscPosEmulator::Serve(int fd) {
    qsizetype received = 0;
    while (!m_stop) {
        if (!Readable(fd))
            continue;
        const bool slow = m_fault == Fault::ReadsSlowly;
        char buffer[65536];
        const ssize_t count = ::read(fd, buffer, slow ? 256 : sizeof buffer);
        if (count <= 0)
            return;
        received += count;
        if (m_fault == Fault::DropsMidTicket && received > 2000)
            return;
        m_input.append(buffer, count);
        const QByteArray answers = Parse();
        if (!answers.isEmpty() && m_fault != Fault::NeverAnswers)
            (void)::write(fd, answers.constData(), static_cast<size_t>(answers.size()));
        if (slow)
            ::usleep(20000);
    }
}

QByteArray EscPosEmulator::Parse() {
    QByteArray answers;
    for (;;) {
        const QByteArray& in = m_input;
        const auto has = [&in](int size) {
            return in.size() >= size;
        };
        int used = 0;
        if (in.startsWith("\x1B\x40")) { // ESC @
            m_rows.clear();
            used = 2;
        } else if (in.startsWith("\x10\x04") && has(3)) { // DLE EOT n
            answers += Answer(in.at(2));
            used = 3;
        } else if (in.startsWith("\x1B\x64") && has(3)) { // ESC d n
            used = 3;
        } else if (in.startsWith(QByteArrayLiteral("\x1D\x76\x30\x00")) && has(8)) { // GS v 0
            m_rowBytes = Byte(in, 4) + 256 * Byte(in, 5);
            const int size = m_rowBytes * (Byte(in, 6) + 256 * Byte(in, 7));
            if (!has(8 + size))
                break;
            m_rows += in.mid(8, size);
            used = 8 + size;
        } else if (in.startsWith(QByteArrayLiteral("\x1D\x56\x42\x00"))) { // GS V 66 0: cut
            QImage ticket(m_rowBytes * 8, m_rows.size() / std::max(1, m_rowBytes),
                          QImage::Format_Mono);
            ticket.setColorTable({qRgb(255, 255, 255), qRgb(0, 0, 0)});
            for (int row = 0; row < ticket.height(); ++row)
                std::memcpy(ticket.scanLine(row), m_rows.constData() + row * m_rowBytes,
                            m_rowBytes);
            const QMutexLocker lock(&m_mutex);
            m_tickets << ticket;
            used = 4;
        } else if (has(8) || (has(1) && !QByteArray("\x1B\x10\x1D").contains(in.at(0)))) {
            ++m_stray;
            used = 1;
        }
        if (used == 0)
            break;
        m_input.remove(0, used);
    }
    return answers;
}

char EscPosEmulator::Answer(char question) const {
    const Condition condition = m_condition;
    int answer = 0x12;
    if (question == 1 && condition != Condition::Ready && condition != Condition::PaperNearEnd)
        answer |= 0x08; // offline
    if (question == 2 && condition == Condition::CoverOpen)
        answer |= 0x04;
    if (question == 2 && condition == Condition::PaperEnd)
        answer |= 0x20;
    if (question == 4 && condition == Condition::PaperEnd)
        answer |= 0x6C;
    if (question == 4 && condition == Condition::PaperNearEnd)
        answer |= 0x0C;
    return static_cast<char>(answer);
}
