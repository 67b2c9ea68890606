#include "app/PrintServer.h"

#include "app/StatusPageBackend.h"
#include "core/UserMessages.h"
#include "standby/StandbyReadiness.h"
#include "web/StatusWebServer.h"

const QString PrintServer::CloseQuestion =
    QStringLiteral("Server'i kapatirsaniz terminaller cikti alamayacaktir. Server'i kapatmak "
                   "istediginizden emin misiniz?");

// Start-up or a tick in progress: a confirmed close waits for the outermost one to end.
class PrintServer::Operation {
public:
    explicit Operation(PrintServer& server)
        : m_server(server) {
        ++m_server.m_runningOperations;
    }
    ~Operation() {
        if (--m_server.m_runningOperations == 0 && m_server.m_closePending)
            m_server.FormClose();
    }
    Operation(const Operation&) = delete;
    Operation& operator=(const Operation&) = delete;

private:
    PrintServer& m_server;
};

PrintServer::PrintServer(const QString& directory, DiagnosticLog& log, UserMessages& messages,
                         StartupHooks hooks)
    : m_parts(directory, log)
    , m_messages(messages)
    , m_hooks(std::move(hooks)) {
    connect(&m_parts.T, &QTimer::timeout, this, &PrintServer::TTimer);
    m_parts.lease.setListener([this](const LeaseReport& report) { LeaseChanged(report); });
    // Queued: a check made while a tick lets events through must not start a tick inside it.
    connect(&m_parts.watch, &QueueWatch::changed, this, &PrintServer::TTimer, Qt::QueuedConnection);
    // A close that came while a ticket waited for a screen, outside a tick, happens after it.
    m_parts.screens.setWaitsEnded([this] {
        if (m_closePending)
            QMetaObject::invokeMethod(this, &PrintServer::Close, Qt::QueuedConnection);
    });
}

PrintServer::~PrintServer() = default;

StartupOutcome PrintServer::FormCreate() {
    Operation operation(*this);
    const StartupOutcome outcome = StartupSequence(m_parts, m_messages, m_hooks).FormCreate();
    if (outcome == StartupOutcome::Running)
        StartLease();
    if (outcome == StartupOutcome::Running && m_parts.statusPage.port > 0)
        StartStatusPage();
    return outcome;
}

void PrintServer::StartLease() {
    SetActive(m_parts.lease.Start(m_parts.C.target()));
}

void PrintServer::LeaseChanged(const LeaseReport& report) {
    if (m_closed)
        return;
    OperatorReport& faults = m_parts.report;
    // Its faults start and end once each; its role changes are plain log lines.
    if (report.role == ServerRole::Alone)
        faults.Started(FaultKind::LeaseUnusable, QString(), report.text);
    else
        faults.Ended(FaultKind::LeaseUnusable, QString());
    if (report.failure.isEmpty())
        faults.Ended(FaultKind::LeaseFailing, QString());
    else
        faults.Started(FaultKind::LeaseFailing, QString(), report.failure);
    if (report.role != ServerRole::Alone && !report.logLine.isEmpty())
        m_parts.log.LogLine(report.logLine, true);
    if (report.tookOver)
        m_parts.status.TookOver(report.logLine);
    QString role = report.text;
    if (report.role == ServerRole::Standby) {
        const QString problem = StandbyReadinessProblem(m_parts.registry, m_parts.printers,
                                                        m_parts.printSettings.dummy);
        if (!problem.isEmpty() && problem != m_standbyProblem)
            m_parts.log.LogLine(problem, true);
        m_standbyProblem = problem;
        if (!problem.isEmpty())
            role += QLatin1Char('\n') + problem;
    }
    m_parts.status.RoleChanged(role);
    SetActive(report.role != ServerRole::Standby);
}

void PrintServer::SetActive(bool prints) {
    // The lease reports more than its role changes.
    if (m_prints == prints)
        return;
    m_prints = prints;
    // A standby checks no printer and tells nothing of them; the faults it saw meanwhile are
    // told once the active server's own checks have confirmed them for the delay.
    m_parts.notifier.setStandby(!prints);
    if (!prints) {
        m_parts.T.stop();
        m_parts.watch.stop();
        return;
    }
    m_parts.report.RetellFaults();
    if (!m_closed && m_parts.T.interval() > 0) { // 0: never poll, as start-up logged
        m_parts.T.start();
        m_parts.watch.start();
    }
}

void PrintServer::StartStatusPage() {
    m_pageBackend = std::make_unique<StatusPageBackend>(m_parts, m_parts.journal.filePath(),
                                                        [this] { RetrySetAsideJobs(); });
    m_webServer = std::make_unique<StatusWebServer>(m_parts.statusPage, m_parts.printSettings,
                                                    *m_pageBackend, m_parts.screens, m_parts.log);
    const QString error = m_webServer->Listen();
    if (error.isEmpty()) {
        m_parts.log.LogLine(QStringLiteral("Durum sayfasi: ") + m_webServer->url(), false);
        return;
    }
    // Printing goes on without the page; the tray says why when the page is asked for, and
    // verbose mode logs it, so a port another copy or another test holds fills no log.
    m_statusPageProblem =
        QStringLiteral("Durum sayfasi acilamadi -- port %1: ").arg(m_parts.statusPage.port) + error;
    m_parts.log.LogLine(m_statusPageProblem, false);
    m_webServer.reset();
}

QString PrintServer::statusPageUrl() const {
    return m_webServer ? m_webServer->url() : QString();
}

QString PrintServer::statusPageProblem() const {
    if (m_webServer)
        return QString();
    return m_statusPageProblem.isEmpty()
               ? QStringLiteral("Durum sayfasi kapali: Velmora.ini [Durum Sayfasi] Port")
               : m_statusPageProblem;
}

QString PrintServer::statusPageFingerprint() const {
    return m_webServer ? m_webServer->fingerprint() : QString();
}

void PrintServer::setNotice(OperatorReport::Notice notice) {
    m_parts.report.setNotice(std::move(notice));
}

bool PrintServer::FormCloseQuery() {
    return m_messages.AskQuestion(CloseQuestion);
}

void PrintServer::Close() {
    if (m_closed)
        return;
    // A ticket waiting for a screen holds a page's request, which must not lose its server.
    if (m_runningOperations > 0 || m_parts.screens.isWaiting()) {
        m_closePending = true;
        return;
    }
    FormClose();
}

void PrintServer::TTimer() {
    // A next tick queued before the lease went elsewhere finds a standby; one due while a
    // ticket from the page waits for a screen comes after it.
    if (m_closed || !m_parts.poller || !m_parts.lease.prints() || m_parts.screens.isWaiting())
        return;
    Operation operation(*this);
    // A rush drains at the speed of the printers: the next job starts as soon as the events
    // waiting behind this one have been handled. The interval is the wait for an empty queue or
    // for a queue whose jobs all wait.
    if (m_parts.poller->Tick() && m_parts.T.isActive())
        QMetaObject::invokeMethod(this, &PrintServer::TTimer, Qt::QueuedConnection);
    if (m_parts.ticketJournal)
        m_parts.ticketJournal->CatchUp();
}

void PrintServer::RetrySetAsideJobs() {
    if (!m_closed && m_parts.poller)
        m_parts.poller->RetrySetAsideJobs();
}

void PrintServer::FormClose() {
    m_closed = true;
    m_closePending = false;
    // The loop may deliver a tick before the process ends; it must not meet closed queries.
    m_parts.T.stop();
    m_parts.lease.Stop();
    m_parts.watch.stop();
    // No page may ask for queries that are about to close.
    m_parts.screens.Close();
    m_webServer.reset();
    m_parts.registry = PrinterRegistry();
    logClosing(QStringLiteral("yazici kayitlari birakildi"));
    QueuePoller* poller = m_parts.poller.get();
    if (poller) {
        poller->ReleasePrinterLists();
        logClosing(QStringLiteral("uretim ve ek yazici listeleri birakildi"));
    }
    for (Query* query : {&m_parts.X, &m_parts.A, poller ? &poller->Q() : nullptr, &m_parts.YAZ}) {
        if (!query)
            continue;
        query->Close();
        logClosing(query->name() + QStringLiteral(" kapatildi"));
    }
    m_parts.C.Close();
    logClosing(QStringLiteral("veritabani baglantisi kesildi"));
    emit closed();
}

void PrintServer::logClosing(const QString& step) {
    m_parts.log.LogLine(QStringLiteral("Kapanis: ") + step, false);
}
