#include "app/StartupSequence.h"

#include "app/ServerParts.h"
#include "config/DatabaseConnection.h"
#include "config/LocalSettings.h"
#include "config/PollInterval.h"
#include "core/Error.h"
#include "core/UserMessages.h"
#include "queue/QueueStatements.h"
#include "queue/ServerQueries.h"
#include "tickets/ExchangeRates.h"

#include <QThread>

StartupHooks StartupHooks::System() {
    return {[](int milliseconds) { QThread::msleep(static_cast<unsigned long>(milliseconds)); },
            [](const QString& directory) {
                return FetchExchangeRates(directory);
            }};
}

StartupSequence::StartupSequence(ServerParts& parts, UserMessages& messages, StartupHooks hooks)
    : m_parts(parts)
    , m_messages(messages)
    , m_hooks(std::move(hooks)) {}

StartupOutcome StartupSequence::FormCreate() {
    try {
        DatabaseConnection connection(m_parts.ini, m_messages);
        connection.ReadDatabaseIni();       // 1, 2
        ReadLocalSettings();                // 3, 4, 5
        if (!connection.Connect(m_parts.C)) // 6
            return StartupOutcome::ConnectionFailed;
        if (m_hooks.connected)
            m_hooks.connected(m_parts.C);
        m_parts.C.Execute(DeleteOrphanJobsStatement());    // 7
        m_parts.CreatePoller();                            // 8
        m_parts.registry = PrinterRegistry();              // 8
        OpenQueries();                                     // 9
        m_parts.registry.LoadPrinterRegistry(m_parts.YAZ); // 10
        m_parts.printers.setSpoolerOptions(ReadSpoolerOptions(
            m_parts.ini, m_parts.registry.printers(), m_parts.printers, m_parts.log)); // 10
        m_parts.T.setInterval(ReadPollInterval(m_parts.settings, m_parts.log));        // 11
        ReadExchangeRates();                                                           // 12
        EnableTimer();                                                                 // 13
        return StartupOutcome::Running;
    } catch (const Error& error) {
        m_messages.ShowMessage(error.message());
        return StartupOutcome::Stopped;
    }
}

void StartupSequence::ReadLocalSettings() {
    ReadPrintLayout(m_parts.ini, m_parts.printSettings);           // 3
    m_parts.backups = ReadBackupPrinters(m_parts.ini);             // 3
    m_hooks.pause(ReadStartupPause(m_parts.ini));                  // 4
    const LocalSwitches switches = ReadLocalSwitches(m_parts.ini); // 5
    m_parts.options.customerFlag = switches.customerFlag;
    m_parts.options.tableInfoFlag = switches.tableInfoFlag;
    m_parts.printSettings.dummy = switches.dummy;
    m_parts.log.setVerbose(switches.verbose);
    m_parts.journal.setRetentionDays(ReadJournalRetention(m_parts.ini));   // 5
    m_parts.statusPage = ReadStatusPageSettings(m_parts.ini, m_parts.log); // 5
    const NotificationSettings notifications =
        ReadNotificationSettings(m_parts.ini, m_parts.log); // 5
    m_parts.notificationSender.Configure(notifications);
    m_parts.notifier.setDelaySeconds(notifications.delaySeconds);
    m_parts.ListenForFaults();
    m_parts.watch.setInterval(ReadQueueCheckInterval(m_parts.ini)); // 5
}

void StartupSequence::OpenQueries() {
    SetQueryStatements(m_parts.poller->Q(), m_parts.A, m_parts.EKA, m_parts.X, m_parts.YAZ);
    // Opened once with the values they were designed with, to prove that the database has
    // every table and column they name; the results are not used.
    m_parts.poller->Q().Open();
    m_parts.A.setParam(QStringLiteral("SIP"), true);
    m_parts.A.setParam(QStringLiteral("ID"), 302);
    m_parts.A.setParam(QStringLiteral("YAZ"), true);
    m_parts.A.setParam(QStringLiteral("IADE"), QStringLiteral("A"));
    m_parts.A.Open();
    m_parts.X.setParam(QStringLiteral("SIP"), QVariant());
    m_parts.X.setParam(QStringLiteral("ID"), QVariant());
    m_parts.X.Open();
    m_parts.YAZ.Open();
}

void StartupSequence::ReadExchangeRates() {
    m_parts.options.printRatesFlag = false;
    if (!ReadPrintRatesSwitch(m_parts.ini))
        return;
    m_parts.options.printRatesFlag = true;
    m_parts.options.exchangeRateLine = m_hooks.fetchRates(m_parts.ini.directory());
}

void StartupSequence::EnableTimer() {
    if (m_parts.T.interval() == 0) {
        // A zero interval means "never poll"; a Qt timer with interval 0 would poll without
        // pause instead, so it is not started, and the operator learns why nothing prints.
        m_parts.log.LogLine(QStringLiteral("Server calisma araligi (x snde bir) 0: kuyruk "
                                           "okunmuyor, hicbir is yazdirilmayacak"),
                            true);
        return;
    }
    m_parts.T.start();
    m_parts.watch.start();
}
