#pragma once

#include <QString>

// Keeps a second copy of the same installation from running beside the first, whoever starts
// it: the service account and a desktop user's autostart poll the same queue and would print
// every ticket twice. The claim lasts as long as the process: the system releases it when the
// process ends, however it ends, so a crashed copy never blocks the next start. On Linux the
// claim is velmora.lock in the restaurant's folder, where only the accounts that run the server
// may create files: no other account can take it first and keep the server out, as it could
// with a lock in a folder every user writes. When the lock cannot be had at all,
// unguardedReason() says why and the copy must not run.
class SingleInstance {
public:
    // Claims the lock file in the restaurant's folder (on Windows, the named semaphore).
    explicit SingleInstance(const QString& dataFolder);
    ~SingleInstance();
    SingleInstance(const SingleInstance&) = delete;
    SingleInstance& operator=(const SingleInstance&) = delete;

    bool anotherCopyRuns() const { return m_anotherCopyRuns; }
    // Empty when the claim was made or another copy holds it.
    const QString& unguardedReason() const { return m_unguardedReason; }
    // The lock file, or the semaphore's name, for the log.
    const QString& lockName() const { return m_lockName; }

private:
    bool m_anotherCopyRuns = false;
    QString m_unguardedReason;
    QString m_lockName;
#ifdef Q_OS_WIN
    void* m_semaphore = nullptr;
#else
    int m_lockFile = -1;
#endif
};
