#pragma once

#include "config/PollInterval.h"
#include "config/SettingsStore.h"
#include "db/Query.h"
#include "job/JobContext.h"
#include "job/PrinterHealth.h"
#include "job/WriteFence.h"
#include "log/DiagnosticLog.h"
#include "print/BackupPrinters.h"
#include "print/PrinterRegistry.h"
#include "queue/QueuePoller.h"
#include "status/OperatorReport.h"
#include "status/ServerStatus.h"
#include "support/RecordingPrinter.h"
#include "support/TestDatabase.h"
#include "tickets/BillOptions.h"

#include <QDateTime>
#include <QTemporaryDir>
#include <memory>

// The server around a test database as far as bills and slips need it: the queries, the
// settings store, the printer registry, the real poller with the bill builders, and a
// recording printer (or the real engine on given printers).
class BillJobRunner {
public:
    explicit BillJobRunner(TestDatabase& db,
                           QStringList installedPrinters = {QStringLiteral("KASA-1")});
    // On another connection to a database, such as one through ODBC.
    BillJobRunner(DatabaseSession& session, QStringList installedPrinters);
    // Prints through the real engine on these printers instead of recording.
    BillJobRunner(TestDatabase& db, PrinterSource& printers);

    // Loads A_Yazicilar; call once the table is seeded.
    void LoadPrinters();
    // One poll tick; the poller's clock moves on by a poll interval.
    void Tick() {
        m_poller.Tick();
        m_now = m_now.addMSecs(kDefaultPollInterval);
    }

    BillOptions options;
    TYazimIsi job;
    Query A;
    JobContext& context() { return m_context; }
    RecordingPrinter& printer() { return m_printer; }
    // Every ticket printed to the end, on any printer, in order.
    QList<Ticket> PrintedTickets() const;

private:
    BillJobRunner(DatabaseSession& session, QStringList installedPrinters,
                  PrinterSource* realPrinters);

    QTemporaryDir m_dir;
    Query m_EKA;
    Query m_X;
    Query m_YAZ;
    SettingsStore m_settings;
    PrinterRegistry m_registry;
    BackupPrinters m_backups;
    DiagnosticLog m_log;
    OperatorReport m_report{m_log};
    ServerStatus m_status{m_report};
    PrinterHealth m_health{m_status, m_log};
    RecordingPrinter m_printer;
    std::unique_ptr<PrintEngine> m_engine;
    ConnectionRecovery m_recovery;
    Unfenced m_unfenced;
    JobContext m_context;
    QueuePoller m_poller;
    QDateTime m_now = QDateTime::currentDateTime();
};
