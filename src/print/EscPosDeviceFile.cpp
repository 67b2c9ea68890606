#include "print/EscPosDeviceFile.h"

#include "print/EscPosStatus.h"

#ifdef Q_OS_WIN
#include <QRegularExpression>
#include <algorithm>
#include <windows.h>
#else
#include <QFile>
#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <poll.h>
#include <termios.h>
#include <unistd.h>
#endif

namespace {

const QString kMalformed = QStringLiteral("Gecersiz ESC/POS yazici adresi");

} // namespace

#ifdef Q_OS_WIN

namespace {

QString SystemError() {
    return qt_error_string(static_cast<int>(GetLastError()));
}

// COM10 and above open only as \\.\COM10, which suits the lower ports too.
QString DeviceName(const QString& device) {
    static const QRegularExpression port(QStringLiteral("^COM[0-9]+$"),
                                         QRegularExpression::CaseInsensitiveOption);
    return port.match(device).hasMatch() ? QStringLiteral("\\\\.\\") + device : device;
}

} // namespace

EscPosDeviceFile::EscPosDeviceFile(const EscPosAddress& address, int idleMilliseconds)
    : EscPosConnection(address.path) {
    const std::wstring name = DeviceName(address.device).toStdWString();
    // OPEN_EXISTING: a missing port is an error, never a new plain file of that name.
    m_handle = CreateFileW(name.c_str(), GENERIC_WRITE, 0, nullptr, OPEN_EXISTING,
                           FILE_ATTRIBUTE_NORMAL, nullptr);
    if (m_handle == INVALID_HANDLE_VALUE) {
        m_handle = nullptr;
        throw Failure(EscPosStatus::kOffline, m_path, SystemError());
    }
    DCB port{};
    port.DCBlength = sizeof port;
    if (!GetCommState(m_handle, &port))
        return; // not a serial port
    if (address.baud > 0)
        port.BaudRate = static_cast<DWORD>(address.baud);
    port.fBinary = TRUE;
    port.fNull = FALSE; // the zero bytes of a clean start must reach the printer
    port.fErrorChar = FALSE;
    port.fAbortOnError = FALSE;
    COMMTIMEOUTS timeouts{};
    timeouts.WriteTotalTimeoutConstant = static_cast<DWORD>(idleMilliseconds);
    if (!SetCommState(m_handle, &port) || !SetCommTimeouts(m_handle, &timeouts)) {
        const QString error = SystemError();
        CloseHandle(m_handle);
        m_handle = nullptr;
        throw Failure(kMalformed, m_path, error);
    }
}

EscPosDeviceFile::~EscPosDeviceFile() {
    CloseHandle(m_handle);
}

bool EscPosDeviceFile::AnswersStatus() const {
    return false;
}

// A serial port's write returns when its timeout passes, with what it took by then: each
// call is a look at the link's progress.
void EscPosDeviceFile::Write(const QByteArray& bytes, int) {
    constexpr qsizetype kChunk = 4096;
    for (qsizetype written = 0; written < bytes.size();) {
        DWORD taken = 0;
        const DWORD size = static_cast<DWORD>(std::min(kChunk, bytes.size() - written));
        if (!WriteFile(m_handle, bytes.constData() + written, size, &taken, nullptr))
            throw Broken(SystemError());
        if (taken == 0)
            throw TimedOut();
        written += taken;
    }
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

EscPosDeviceFile::EscPosDeviceFile(const EscPosAddress& address, int)
    : EscPosConnection(address.path) {
    m_fd = ::open(QFile::encodeName(address.device).constData(),
                  O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (m_fd < 0)
        throw Failure(EscPosStatus::kOffline, m_path, SystemError());
    if (::isatty(m_fd)) {
        try {
            MakeRaw(address.baud);
        } catch (...) {
            ::close(m_fd);
            throw;
        }
    }
}

EscPosDeviceFile::~EscPosDeviceFile() {
    ::close(m_fd);
}

void EscPosDeviceFile::MakeRaw(int baud) {
    termios settings{};
    if (::tcgetattr(m_fd, &settings) != 0)
        throw Failure(EscPosStatus::kOffline, m_path, SystemError());
    const tcflag_t flowControl = settings.c_iflag & (IXON | IXOFF | IXANY);
    ::cfmakeraw(&settings);
    settings.c_iflag |= flowControl;
    settings.c_cflag |= CLOCAL | CREAD;
    settings.c_cc[VMIN] = 0;
    settings.c_cc[VTIME] = 0;
    // glibc takes the speed in bits per second as well as a B constant.
    if (baud > 0 && ::cfsetspeed(&settings, static_cast<speed_t>(baud)) != 0)
        throw Failure(kMalformed, m_path, QStringLiteral("baud %1 desteklenmiyor").arg(baud));
    if (::tcsetattr(m_fd, TCSANOW, &settings) != 0)
        throw Failure(EscPosStatus::kOffline, m_path, SystemError());
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

void EscPosDeviceFile::Write(const QByteArray& bytes, int idleMilliseconds) {
    qsizetype written = 0;
    while (written < bytes.size()) {
        const ssize_t count =
            ::write(m_fd, bytes.constData() + written, static_cast<size_t>(bytes.size() - written));
        if (count > 0) {
            written += count;
            continue;
        }
        if (count < 0 && errno != EAGAIN && errno != EWOULDBLOCK && errno != EINTR)
            throw Broken(SystemError());
        if (!WaitFor(POLLOUT, QDeadlineTimer(idleMilliseconds)))
            throw TimedOut();
    }
    Drain(m_fd, idleMilliseconds);
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
            throw Broken();
    }
    return answer;
}

void EscPosDeviceFile::DropInput() {
    char buffer[256];
    while (::read(m_fd, buffer, sizeof buffer) > 0) {
    }
}

#endif
