#pragma once

#include "app/ServerParts.h"
#include "app/StartupSequence.h"

#include <QObject>
#include <QString>
#include <memory>

class StatusPageBackend;
class StatusWebServer;
class UserMessages;

// The server without its window: owns every long-lived object, runs the start-up and the poll
// ticks, and releases everything on a confirmed close. The window's operations that live here
// are listed with the others in app/gui/MainWindow.h.
class PrintServer : public QObject {
    Q_OBJECT
public:
    static const QString CloseQuestion;

    // The log is shared with whatever else writes the log file, such as the messages.
    PrintServer(const QString& directory, DiagnosticLog& log, UserMessages& messages,
                StartupHooks hooks = StartupHooks::System());
    ~PrintServer() override;

    ServerParts& parts() { return m_parts; }
    // Jobs waiting, printers failing, jobs set aside: for the tray, which only reads it.
    ServerStatus& status() { return m_parts.status; }

    StartupOutcome FormCreate();

    // Asks whether to close; true when the operator chose Yes.
    bool FormCloseQuery();
    // A confirmed close. One that arrives while start-up or a tick runs (from a message box's
    // own loop) waits for them to end, so they never meet released objects.
    void Close();
    bool isClosed() const { return m_closed; }

    // The handler of the poll timer T, of the queue watch when a job may have come in, and of
    // the next tick at once after a tick that got a job further.
    void TTimer();
    // The tray's "Bekleyen isleri yeniden dene" and SIGHUP: set-aside jobs are tried again.
    void RetrySetAsideJobs();
    // Where the operator hears of failing ticks without being kept waiting (the tray).
    void setNotice(OperatorReport::Notice notice);
    // The status page's address on this machine, or the empty text while it is not served.
    QString statusPageUrl() const;
    // Why the page is not served, when it is not.
    QString statusPageProblem() const;
    // The SHA-256 fingerprint of the page's certificate, while it is served over HTTPS.
    QString statusPageFingerprint() const;

signals:
    // FormClose has released everything; the process is to end.
    void closed();

private:
    class Operation;

    void FormClose();
    void logClosing(const QString& step);
    void StartStatusPage();
    void StartLease();
    // Polling runs only on the server that prints; a standby keeps its tray and page.
    void SetActive(bool prints);

    ServerParts m_parts;
    UserMessages& m_messages;
    StartupHooks m_hooks;
    std::unique_ptr<StatusPageBackend> m_pageBackend;
    std::unique_ptr<StatusWebServer> m_webServer;
    QString m_statusPageProblem;
    int m_runningOperations = 0;
    bool m_closePending = false;
    bool m_closed = false;
};
