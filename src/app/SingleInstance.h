#pragma once

#include <QString>

// Keeps a second copy of the server from running beside the first. The claim lasts as long as
// the process: the system releases it when the process ends, however it ends, so a crashed
// copy never blocks the next start. When the claim cannot be made at all (no runtime
// directory, say), the copy runs unguarded.
class SingleInstance {
public:
    // Claims the name in the user's runtime directory (on Windows, the session's semaphore).
    SingleInstance();
    // Claims it in the given directory; tests use their own.
    explicit SingleInstance(const QString& lockDirectory);
    ~SingleInstance();
    SingleInstance(const SingleInstance&) = delete;
    SingleInstance& operator=(const SingleInstance&) = delete;

    bool anotherCopyRuns() const { return m_anotherCopyRuns; }

    static QString DefaultLockDirectory();

private:
    void claim(const QString& lockDirectory);

    bool m_anotherCopyRuns = false;
#ifdef Q_OS_WIN
    void* m_semaphore = nullptr;
#else
    int m_lockFile = -1;
#endif
};
