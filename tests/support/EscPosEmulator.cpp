#include "support/EscPosEmulator.h"

#include <arpa/inet.h>
#include <fcntl.h>
#include <poll.h>
#include <termios.h>
#include <unistd.h>

namespace {

bool Readable(int fd) {
    pollfd wanted{fd, POLLIN, 0};
    return ::poll(&wanted, 1, 10) > 0;
}

} // namespace

EscPosEmulator::EscPosEmulator(bool pseudoTerminal) {
    if (pseudoTerminal) {
        m_fds[0] = ::posix_openpt(O_RDWR | O_NOCTTY);
        ::grantpt(m_fds[0]);
        ::unlockpt(m_fds[0]);
        m_fds[1] = ::open(::ptsname(m_fds[0]), O_RDWR | O_NOCTTY);
        termios raw{};
        ::tcgetattr(m_fds[1], &raw);
        ::cfmakeraw(&raw);
        ::tcsetattr(m_fds[1], TCSANOW, &raw);
        m_path = QStringLiteral("escpos:") + QString::fromLocal8Bit(::ptsname(m_fds[0]));
    } else {
        m_fds[0] = ::socket(AF_INET, SOCK_STREAM, 0);
        sockaddr_in address{AF_INET, 0, {htonl(INADDR_LOOPBACK)}, {}};
        socklen_t size = sizeof address;
        ::bind(m_fds[0], reinterpret_cast<sockaddr*>(&address), size);
        ::listen(m_fds[0], 4);
        ::getsockname(m_fds[0], reinterpret_cast<sockaddr*>(&address), &size);
        m_path = QStringLiteral("escpos://127.0.0.1:%1").arg(ntohs(address.sin_port));
    }
    m_thread = std::thread([this, pseudoTerminal] {
        while (!m_stop) {
            if (pseudoTerminal) {
                Serve(m_fds[0]);
            } else if (Readable(m_fds[0])) {
                const int client = ::accept(m_fds[0], nullptr, nullptr);
                m_input.clear();
                Serve(client);
                ::close(client);
            }
        }
    });
}

EscPosEmulator::~EscPosEmulator() {
    m_stop = true;
    m_thread.join();
    ::close(m_fds[0]);
    ::close(m_fds[1]);
}

void EscPosEmulator::Serve(int fd) {
    for (qsizetype received = 0; !m_stop;) {
        if (!Readable(fd))
            continue;
        const bool slow = m_fault == Fault::ReadsSlowly;
        char buffer[65536];
        const ssize_t count = ::read(fd, buffer, slow ? 256 : sizeof buffer);
        received += count;
        if (count <= 0 || (m_fault == Fault::DropsMidTicket && received > 2000))
            return;
        m_input.append(buffer, count);
        const QByteArray answers = Parse();
        if (m_fault != Fault::NeverAnswers)
            (void)!::write(fd, answers.constData(), static_cast<size_t>(answers.size()));
        ::usleep(slow ? 20000 : 0);
    }
}

QByteArray EscPosEmulator::Parse() {
    QByteArray answers;
    const Condition condition = m_condition;
    // DLE EOT 1, 2 and 4: offline, cover open or paper end stop, paper end or near end.
    const int offline = condition >= Condition::PaperEnd ? 0x08 : 0;
    const int stopped = condition == Condition::CoverOpen ? 0x04 : offline ? 0x20 : 0;
    const int paper = condition == Condition::PaperEnd       ? 0x6C
                      : condition == Condition::PaperNearEnd ? 0x0C
                                                             : 0;
    for (int used = 1; used > 0; m_input.remove(0, used)) {
        const auto at = [this](int i) {
            return i < m_input.size() ? static_cast<uchar>(m_input.at(i)) : 0;
        };
        const int band = 8 + (at(4) + 256 * at(5)) * (at(6) + 256 * at(7));
        used = 0;
        if (m_input.startsWith("\x1B\x40")) { // ESC @
            m_rows.clear();
            used = 2;
        } else if (m_input.size() >= 3 && m_input.startsWith("\x1B\x64")) { // ESC d n
            used = 3;
        } else if (m_input.size() >= 3 && m_input.startsWith("\x10\x04")) { // DLE EOT n
            answers += char(0x12 | (at(2) == 1 ? offline : at(2) == 2 ? stopped : paper));
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
            used = 4;
        }
    }
    return answers;
}
