#pragma once

#include "config/IniFile.h"
#include "config/LocalSettings.h"
#include "config/SettingsStore.h"
#include "db/DatabaseSession.h"
#include "db/Query.h"
#include "job/JobContext.h"
#include "job/JobRecord.h"
#include "job/PrinterHealth.h"
#include "journal/FinishedJobStore.h"
#include "journal/TicketJournal.h"
#include "log/DiagnosticLog.h"
#include "metrics/TicketMetrics.h"
#include "notify/FaultNotifier.h"
#include "notify/NotificationSender.h"
#include "print/BackupPrinters.h"
#include "print/DevicePrinterSource.h"
#include "print/PrintEngine.h"
#include "print/PrintSettings.h"
#include "print/PrinterRegistry.h"
#include "queue/ConnectionRecovery.h"
#include "queue/QueuePoller.h"
#include "queue/QueueWatch.h"
#include "screen/ScreenHub.h"
#include "standby/SqlLeaseStore.h"
#include "standby/StandbyLease.h"
#include "status/OperatorReport.h"
#include "status/ServerStatus.h"
#include "tickets/BillOptions.h"

#include <QString>
#include <QTimer>
#include <memory>

// The long-lived objects of the server, created with it, filled by the start-up sequence and
// released by FormClose.
struct ServerParts {
    // The directory holds the ini files, Doviz.xml and the PDF printers' folders: the
    // executable's, normally. The log is the process's one writer of its log file.
    ServerParts(const QString& directory, DiagnosticLog& diagnosticLog);

    // The print engine with the print settings as read, and the poller with its empty printer
    // lists and the queue query Q. Made once the settings are known.
    void CreatePoller();
    // What the ticket builders work with for that job, with those backups: the poller's for the
    // queue's jobs, the status page's for the tickets it prints. Once CreatePoller has run.
    JobContext ContextFor(const TYazimIsi& printed, const BackupPrinters& backupsOf);
    // Once the notification settings are read: the report's faults go to the notifier, where
    // there is an address.
    void ListenForFaults();

    IniFiles ini;
    DiagnosticLog& log;
    OperatorReport report; // every fault the operator hears of, and its end
    DatabaseSession C;
    ConnectionRecovery recovery; // of C, for the poller and the lease alike
    Query A;
    Query EKA;
    Query X;
    Query YAZ;
    QTimer T;
    QueueWatch watch; // between the ticks of T
    TYazimIsi job;
    PrinterRegistry registry;
    BackupPrinters backups;
    ServerStatus status;
    PrinterHealth health;
    SqlLeaseStore leaseStore;
    StandbyLease lease; // alone, and so printing, until the server starts it
    QTimer leaseTimer;
    SettingsStore settings;
    PrintSettings printSettings;
    BillOptions options;
    DevicePrinterSource printers;
    TicketJournal journal;         // velmora-gunluk.db beside the ini files
    FinishedJobStore finishedJobs; // in the journal's file
    ScreenHub screens;             // the kitchen screens, their cards in the journal's file
    // Where the tickets are journaled, and the printed jobs still queued remembered: nowhere for
    // a tool that only looks; set before CreatePoller.
    TicketJournal* ticketJournal = &journal;
    StatusPageSettings statusPage;
    TicketMetrics metrics;
    NotificationSender notificationSender;
    FaultNotifier notifier; // sends through notificationSender
    // Where the faults are told, when an address is set: nowhere for a tool that only looks; set
    // before start-up.
    FaultNotifier* faultNotifier = &notifier;
    // Where the builders look their printers up: the registry, unless a tool puts its own
    // paths in its place before CreatePoller (the ticket preview sends each ticket to a file).
    const PrinterPaths* printerPaths = &registry;
    // The engine's pause after each ticket, which gives the spooler time; set before
    // CreatePoller.
    PrintEngine::Pause printPause = PrintEngine::SleepPause();
    std::unique_ptr<PrintEngine> engine;
    std::unique_ptr<QueuePoller> poller; // owns Q
};
