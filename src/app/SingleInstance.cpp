#include "app/SingleInstance.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#ifdef Q_OS_WIN
#include <windows.h>
#else
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>
#endif

SingleInstance::SingleInstance()
    : SingleInstance(InstallationDirectory()) {}

SingleInstance::SingleInstance(const QString& lockDirectory) {
    claim(lockDirectory);
}

#ifdef Q_OS_WIN

QString SingleInstance::InstallationDirectory() {
    return QString(); // the semaphore needs no directory
}

void SingleInstance::claim(const QString&) {
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

QString SingleInstance::InstallationDirectory() {
    // The path the program was started by: a hard-linked copy is an installation of its own.
    return QFileInfo(QFile::symLinkTarget(QStringLiteral("/proc/self/exe"))).absolutePath();
}

void SingleInstance::claim(const QString& lockDirectory) {
    const QString path = QDir(lockDirectory).filePath(QStringLiteral("velmora.lock"));
    // flock belongs to the open file and dies with the process; the file itself may stay. It is
    // made group-writable (the service's umask permitting), so the desktop users of the service
    // group open the same file; reading is enough for flock.
    m_lockFile = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_CREAT | O_CLOEXEC, 0664);
    if (m_lockFile < 0) {
        m_unguardedReason = path + QStringLiteral(": ") + QString::fromLocal8Bit(strerror(errno));
        return;
    }
    if (::flock(m_lockFile, LOCK_EX | LOCK_NB) == 0)
        return;
    if (errno == EWOULDBLOCK)
        m_anotherCopyRuns = true;
    else
        m_unguardedReason = path + QStringLiteral(": ") + QString::fromLocal8Bit(strerror(errno));
    ::close(m_lockFile);
    m_lockFile = -1;
}

SingleInstance::~SingleInstance() {
    if (m_lockFile >= 0)
        ::close(m_lockFile);
}

#endif
