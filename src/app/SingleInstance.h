#pragma once

#include <QString>

// Keeps a second copy of the same installation from running beside the first, whoever starts
// it: the service account and a desktop user's autostart poll the same queue and would print
// every ticket twice. The claim lasts as long as the process: the system releases it when the
// process ends, however it ends, so a crashed copy never blocks the next start. When the claim
// cannot be made at all, the copy runs unguarded and says why in unguardedReason().
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

    // The running executable's directory, known before the application object exists.
    static QString InstallationDirectory();

private:
    void claim(const QString& lockDirectory);

    bool m_anotherCopyRuns = false;
    QString m_unguardedReason;
#ifdef Q_OS_WIN
    void* m_semaphore = nullptr;
#else
    int m_lockFile = -1;
#endif
};
