#include "app/SingleInstance.h"

#include <QDir>
#include <QFile>
#include <QStandardPaths>

#ifdef Q_OS_WIN
#include <windows.h>
#else
#include <cerrno>
#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>
#endif

SingleInstance::SingleInstance()
    : SingleInstance(DefaultLockDirectory()) {}

SingleInstance::SingleInstance(const QString& lockDirectory) {
    claim(lockDirectory);
}

QString SingleInstance::DefaultLockDirectory() {
    return QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
}

#ifdef Q_OS_WIN

void SingleInstance::claim(const QString&) {
    // The session-wide name other copies look for; the handle stays open for the life of the
    // process, so the name stays taken until this copy ends.
    HANDLE semaphore = CreateSemaphoreW(nullptr, 0, 1, L"VELMORA");
    if (semaphore && GetLastError() == ERROR_ALREADY_EXISTS) {
        CloseHandle(semaphore);
        m_anotherCopyRuns = true;
        return;
    }
    m_semaphore = semaphore;
}

SingleInstance::~SingleInstance() {
    if (m_semaphore)
        CloseHandle(static_cast<HANDLE>(m_semaphore));
}

#else

void SingleInstance::claim(const QString& lockDirectory) {
    if (lockDirectory.isEmpty())
        return;
    const QByteArray path =
        QFile::encodeName(QDir(lockDirectory).filePath(QStringLiteral("velmora.lock")));
    // flock belongs to the open file and dies with the process; the file itself may stay.
    m_lockFile = ::open(path.constData(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
    if (m_lockFile < 0)
        return;
    if (::flock(m_lockFile, LOCK_EX | LOCK_NB) == 0)
        return;
    m_anotherCopyRuns = errno == EWOULDBLOCK;
    ::close(m_lockFile);
    m_lockFile = -1;
}

SingleInstance::~SingleInstance() {
    if (m_lockFile >= 0)
        ::close(m_lockFile);
}

#endif
