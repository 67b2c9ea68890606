#include "print/EscPosDeviceFile.h"

#include "print/EscPosStatus.h"

#ifndef Q_OS_WIN
#include <QFile>
#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <poll.h>
#include <unistd.h>
#endif

#ifdef Q_OS_WIN

EscPosDeviceFile::EscPosDeviceFile(const EscPosAddress& address)
    : m_path(address.path)
    , m_file(address.device) {
    if (!m_file.open(QIODevice::WriteOnly | QIODevice::Unbuffered))
        throw Failure(EscPosStatus::kOffline, m_path, m_file.errorString());
}

EscPosDeviceFile::~EscPosDeviceFile() = default;

bool EscPosDeviceFile::AnswersStatus() const {
    return false;
}

void EscPosDeviceFile::Write(const QByteArray& bytes, QDeadlineTimer) {
    if (m_file.write(bytes) != bytes.size())
        throw Failure(EscPosStatus::kOffline, m_path, m_file.errorString());
}

QByteArray EscPosDeviceFile::Read(int, QDeadlineTimer) {
    return QByteArray();
}

void EscPosDeviceFile::DropInput() {}

#else

namespace {

QString SystemError() {
    return QString::fromLocal8Bit(std::strerror(errno));
}

} // namespace

EscPosDeviceFile::EscPosDeviceFile(const EscPosAddress& address)
    : m_path(address.path) {
    m_fd = ::open(QFile::encodeName(address.device).constData(),
                  O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (m_fd < 0)
        throw Failure(EscPosStatus::kOffline, m_path, SystemError());
}

EscPosDeviceFile::~EscPosDeviceFile() {
    ::close(m_fd);
}

bool EscPosDeviceFile::AnswersStatus() const {
    return true;
}

bool EscPosDeviceFile::WaitFor(short events, QDeadlineTimer deadline) const {
    pollfd wanted{m_fd, events, 0};
    for (;;) {
        const int ready = ::poll(&wanted, 1, Remaining(deadline));
        if (ready >= 0 || errno != EINTR)
            return ready > 0;
    }
}

void EscPosDeviceFile::Write(const QByteArray& bytes, QDeadlineTimer deadline) {
    qsizetype written = 0;
    while (written < bytes.size()) {
        const ssize_t count =
            ::write(m_fd, bytes.constData() + written, static_cast<size_t>(bytes.size() - written));
        if (count > 0) {
            written += count;
            continue;
        }
        if (count < 0 && errno != EAGAIN && errno != EWOULDBLOCK && errno != EINTR)
            throw Failure(EscPosStatus::kOffline, m_path, SystemError());
        if (!WaitFor(POLLOUT, deadline))
            throw Failure(EscPosStatus::kNoAnswer, m_path, QStringLiteral("yazdirma zaman asimi"));
    }
}

QByteArray EscPosDeviceFile::Read(int count, QDeadlineTimer deadline) {
    QByteArray answer;
    while (answer.size() < count && WaitFor(POLLIN, deadline)) {
        char buffer[16];
        const ssize_t got = ::read(
            m_fd, buffer, std::min(sizeof buffer, static_cast<size_t>(count - answer.size())));
        if (got > 0)
            answer.append(buffer, got);
        else if (got == 0 || (errno != EAGAIN && errno != EINTR))
            throw Failure(EscPosStatus::kOffline, m_path, QStringLiteral("baglanti koptu"));
    }
    return answer;
}

void EscPosDeviceFile::DropInput() {
    char buffer[256];
    while (::read(m_fd, buffer, sizeof buffer) > 0) {
    }
}

#endif
