#include "process/SingleInstance.h"

#include <QDir>
#include <QFile>

#ifdef Q_OS_WIN
#include <windows.h>
#else
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

#ifdef Q_OS_WIN

SingleInstance::SingleInstance(const QString&)
    : m_lockName(QStringLiteral("VELMORA semaforu")) {
    // The session-wide name other copies look for; the handle stays open for the life of the
    // process, so the name stays taken until this copy ends.
    HANDLE semaphore = CreateSemaphoreW(nullptr, 0, 1, L"VELMORA");
    if (semaphore && GetLastError() == ERROR_ALREADY_EXISTS) {
        CloseHandle(semaphore);
        m_anotherCopyRuns = true;
        return;
    }
    if (!semaphore)
        m_unguardedReason = QStringLiteral("VELMORA semaforu olusturulamadi");
    m_semaphore = semaphore;
}

SingleInstance::~SingleInstance() {
    if (m_semaphore)
        CloseHandle(static_cast<HANDLE>(m_semaphore));
}

#else

namespace {

// Every account that runs the server opens it for reading, which is all flock needs: the
// service account and the desktop users of its group. Nobody else.
constexpr mode_t LockFileMode = 0640;

} // namespace

SingleInstance::SingleInstance(const QString& dataFolder)
    : m_lockName(QDir(dataFolder).filePath(QStringLiteral("velmora.lock"))) {
    const QByteArray name = QFile::encodeName(m_lockName);
    // flock belongs to the open file and dies with the process; the file itself may stay.
    m_lockFile = ::open(name.constData(), O_RDONLY | O_CREAT | O_CLOEXEC, LockFileMode);
    if (m_lockFile >= 0) {
        struct stat status {};
        // Ours: whatever umask it was made under.
        if (::fstat(m_lockFile, &status) == 0 && status.st_uid == ::geteuid())
            ::fchmod(m_lockFile, LockFileMode);
        if (::flock(m_lockFile, LOCK_EX | LOCK_NB) == 0)
            return;
    }
    const int failure = errno;
    if (m_lockFile >= 0)
        ::close(m_lockFile);
    m_lockFile = -1;
    if (failure == EWOULDBLOCK)
        m_anotherCopyRuns = true;
    else
        m_unguardedReason =
            m_lockName + QStringLiteral(": ") + QString::fromLocal8Bit(strerror(failure));
}

SingleInstance::~SingleInstance() {
    if (m_lockFile >= 0)
        ::close(m_lockFile);
}

#endif
