#include "process/SingleInstance.h"

#include <QCryptographicHash>
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
#include <sys/stat.h>
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

QString SingleInstance::SharedLockPath(const QString& lockDirectory) {
    const QByteArray installation = QFile::encodeName(QDir(lockDirectory).absolutePath().toLower());
    const QString name =
        QStringLiteral("velmora-%1.lock")
            .arg(QString::fromLatin1(
                QCryptographicHash::hash(installation, QCryptographicHash::Sha1).toHex().left(16)));
    const QFileInfo runLock(QStringLiteral("/run/lock"));
    const QString folder =
        runLock.isDir() && runLock.isWritable() ? runLock.filePath() : QDir::tempPath();
    return QDir(folder).filePath(name);
}

void SingleInstance::claim(const QString& lockDirectory) {
    QString ownProblem;
    QString sharedProblem;
    const Claim own = claimFile(QDir(lockDirectory).filePath(QStringLiteral("velmora.lock")),
                                m_lockFile, ownProblem);
    const Claim shared = claimFile(SharedLockPath(lockDirectory), m_sharedLockFile, sharedProblem);
    if (own == Claim::HeldByAnother || shared == Claim::HeldByAnother)
        m_anotherCopyRuns = true;
    else if (own == Claim::Unusable && shared == Claim::Unusable)
        m_unguardedReason = ownProblem + QStringLiteral("; ") + sharedProblem;
}

SingleInstance::Claim SingleInstance::claimFile(const QString& path, int& lockFile,
                                                QString& problem) {
    const QByteArray name = QFile::encodeName(path);
    // flock belongs to the open file and dies with the process; the file itself may stay. An
    // existing file is opened without O_CREAT: in a sticky folder such as /tmp the kernel refuses
    // O_CREAT on another user's file even where its mode lets everyone read it. Reading is
    // enough for flock.
    lockFile = ::open(name.constData(), O_RDONLY | O_CLOEXEC);
    if (lockFile < 0 && errno == ENOENT) {
        lockFile = ::open(name.constData(), O_RDONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        // Whatever the creator's umask, every account that may run the server opens it later.
        if (lockFile >= 0)
            ::fchmod(lockFile, 0666);
        else if (errno == EEXIST)
            lockFile = ::open(name.constData(), O_RDONLY | O_CLOEXEC);
    }
    if (lockFile >= 0 && ::flock(lockFile, LOCK_EX | LOCK_NB) == 0)
        return Claim::Taken;
    const int failure = errno;
    if (lockFile >= 0)
        ::close(lockFile);
    lockFile = -1;
    if (failure == EWOULDBLOCK)
        return Claim::HeldByAnother;
    problem = path + QStringLiteral(": ") + QString::fromLocal8Bit(strerror(failure));
    return Claim::Unusable;
}

SingleInstance::~SingleInstance() {
    for (const int lockFile : {m_lockFile, m_sharedLockFile}) {
        if (lockFile >= 0)
            ::close(lockFile);
    }
}

#endif
