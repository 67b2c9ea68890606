#pragma once

#include "config/SettingsStore.h"
#include "db/Query.h"
#include "job/JobContext.h"
#include "job/PrinterHealth.h"
#include "job/WriteFence.h"
#include "journal/TicketJournal.h"
#include "log/DiagnosticLog.h"
#include "print/BackupPrinters.h"
#include "print/DevicePrinterSource.h"
#include "print/PrintEngine.h"
#include "print/PrinterRegistry.h"
#include "queue/QueuePoller.h"
#include "status/OperatorReport.h"
#include "status/ServerStatus.h"
#include "support/CapturingTicketPrinter.h"
#include "support/RecordingPrinter.h"
#include "support/TestDatabase.h"
#include "tickets/BillOptions.h"

#include <QStringList>
#include <functional>
#include <tuple>

// The queue as the server assembles it, on a throw-away SQLite database with the real
// session, queries, registry and poller. Tickets are captured as built, rendered by the
// real print engine on recording canvases (installed printers as given), or spooled by it to
// this machine's real printers without its pause. The bill builders only record that they ran,
// as "Tur:AdisyonID".
class QueueHarness {
public:
    enum class Printing { Captured, Rendered, Spooled };

    explicit QueueHarness(Printing printing = Printing::Captured,
                          const QStringList& installedPrinters = {}, bool verbose = true);

    // Department "1" Salon, waiter "G1" Ayşe, products K1 Köfte and P1 Pilav on Mutfak (K1
    // also on the extra printer Izgara with the note "Az pişmiş"), B1 Ayran on Bar, T1 Tatlı
    // without a printer; the printers Mutfak, Bar and Izgara registered as MUTFAK-1, BAR-1
    // and IZGARA-1.
    void seedRestaurant();
    // Registers a printer in A_Yazicilar and reloads the registry.
    void addPrinter(const QString& name, const QString& path);
    // Each tick is one poll interval later on the poller's clock.
    void tick(int times = 1);
    // One poll interval as the server spends it: ticks follow each other at once while they get
    // a job further (a rush drains), then the clock moves on.
    void poll(int times = 1);
    // The log's messages, without their time stamps.
    QStringList logLines() const;
    int queued() { return db.count(QStringLiteral("A_YazimKuyrugu")); }
    // "SIP/YAZ/EKYAZ" of a line of A_AdsSatir or A_AdsIade.
    QString flags(qint64 lineId, const QString& table = QStringLiteral("A_AdsSatir"));

    TestDatabase db;
    DiagnosticLog log;
    TYazimIsi job;
    CapturingTicketPrinter captured;
    RecordingPrinter rendered;
    DevicePrinterSource devices;
    PrintEngine spooled;
    Query A;
    Query EKA;
    Query X;
    Query YAZ;
    SettingsStore settings;
    PrinterRegistry registry;
    BackupPrinters backups;
    OperatorReport report;
    ConnectionRecovery recovery;
    ServerStatus status;
    PrinterHealth health;
    BillOptions options;
    TicketJournal journal; // velmora-gunluk.db beside the database
    Unfenced unfenced;
    JobContext context;
    QStringList builtBills;
    std::function<void()> duringBuild; // runs inside each bill builder
    QStringList notices;
    using Fault = std::tuple<FaultKind, QString, bool>; // started: true, ended: false
    QList<Fault> faults;                                // as the report's listener heard them
    QDateTime now;
    QueuePoller poller;

private:
    BillBuilders RecordingBuilders();
};
