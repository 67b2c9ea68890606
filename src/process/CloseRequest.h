#pragma once

#include <QObject>
#include <QString>
#include <chrono>

class QLocalServer;

// "velmora --kapat": a later start of the same installation asks the running copy to close as a
// confirmed close does, without the question, and waits until it has ended. The setup program
// replaces a running server's files this way; the running copy finishes the tick it is in, so
// no ticket is cut off or printed twice. The copies meet on the local socket velmora.kapat in
// the restaurant's folder, which only the accounts that run the server reach (on Windows the
// named pipe "VELMORA-kapat" beside the semaphore "VELMORA", which other users may only read).
class CloseRequestListener : public QObject {
    Q_OBJECT
public:
    explicit CloseRequestListener(const QString& dataFolder, QObject* parent = nullptr);

    // Why no request can reach this copy, or the empty text.
    const QString& problem() const { return m_problem; }

signals:
    void closeRequested();

private:
    void accept();

    QString m_channel;
    QLocalServer* m_server;
    QString m_problem;
};

// The exit codes of "velmora --kapat", which the setup program tells apart.
enum class CloseRequestOutcome { Closed = 0, NoneRunning = 1, StillRunning = 2 };

// Asks the copy running on that folder to close and waits at most the timeout for it to end.
CloseRequestOutcome RequestClose(const QString& dataFolder, std::chrono::milliseconds timeout);
