#pragma once

#include <QString>

// Keeps a second copy of the same installation from running beside the first, whoever starts
// it: the service account and a desktop user's autostart poll the same queue and would print
// every ticket twice. The claim lasts as long as the process: the system releases it when the
// process ends, however it ends, so a crashed copy never blocks the next start. On Linux every
// copy also takes a second lock that every user can open, named after the installation, so a
// read-only installation folder or a lock file another user left unreadable still keeps a second
// copy out. When no lock can be had at all, unguardedReason() says why and the copy must not run.
class SingleInstance {
public:
    // Claims the lock file beside the running executable (on Windows, the named semaphore).
    SingleInstance();
    // Claims it in the given directory; tests use their own.
    explicit SingleInstance(const QString& lockDirectory);
    ~SingleInstance();
    SingleInstance(const SingleInstance&) = delete;
    SingleInstance& operator=(const SingleInstance&) = delete;

    bool anotherCopyRuns() const { return m_anotherCopyRuns; }
    // Empty when the claim was made or another copy holds it.
    const QString& unguardedReason() const { return m_unguardedReason; }
#ifndef Q_OS_WIN
    // The lock every user can open for that installation: in /run/lock, or the temporary folder
    // where there is none.
    static QString SharedLockPath(const QString& lockDirectory);
#endif

    // The running executable's directory, known before the application object exists.
    static QString InstallationDirectory();

private:
    void claim(const QString& lockDirectory);

    bool m_anotherCopyRuns = false;
    QString m_unguardedReason;
#ifdef Q_OS_WIN
    void* m_semaphore = nullptr;
#else
    enum class Claim { Taken, HeldByAnother, Unusable };
    // A taken lock's descriptor goes to lockFile, an unusable one's reason to problem.
    static Claim claimFile(const QString& path, int& lockFile, QString& problem);

    int m_lockFile = -1;
    int m_sharedLockFile = -1;
#endif
};
