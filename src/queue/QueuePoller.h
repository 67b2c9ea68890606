#pragma once

#include "db/Query.h"
#include "job/JobContext.h"
#include "job/LogicalPrinting.h"
#include "kitchen/PrintedTickets.h"
#include "kitchen/ProductionPrinters.h"
#include "queue/BillBuilders.h"
#include "queue/ConnectionRecovery.h"
#include "queue/FinishedJobs.h"
#include "queue/JobFailures.h"
#include "queue/JobSightings.h"

#include <QHash>
#include <QString>
#include <QStringList>
#include <optional>

// The poll tick, run by the poll timer's handler: at each tick the first queued job that can get
// further goes from the queue query Q into the job record, through the builder of its type to its
// tickets, and out of the queue. A ticket whose printer fails waits for it while the job's other
// tickets and the jobs behind it print; the failing printers are checked again by themselves. A
// failing tick never shows a box: the job stays queued, each distinct error is reported once, a job
// that keeps failing is set aside and retried later, and a lost connection comes back by itself.
class QueuePoller {
public:
    // context.job is the record given as job. The failures go to the report; a lost connection
    // is brought back through the recovery.
    QueuePoller(TYazimIsi& job, const JobContext& context, BillBuilders builders,
                OperatorReport& report, ConnectionRecovery& connection);
    QueuePoller(const QueuePoller&) = delete;
    QueuePoller& operator=(const QueuePoller&) = delete;

    Query& Q() { return m_queue; }
    bool isBusy() const { return m_busy; }
    const PrinterLists& printerLists() const { return m_printers; }
    // At close: the production and extra printer lists go.
    void ReleasePrinterLists();

    // True when the tick got a job further (printed a ticket or finished it): the next job
    // need not wait for the poll interval.
    bool Tick();
    // The jobs that wait for a failing printer, with the logical printers they wait for.
    const QHash<QString, QStringList>& waitingJobs() const { return m_waiting; }
    const JobFailures& failures() const { return m_failures; }
    // The clock of the printer checks and of the set-aside jobs' retries.
    void setClock(const JobFailures::Clock& clock);
    // The set-aside jobs and the failure counts are dropped, so every queued job is tried again
    // from the next tick; said in a forced log line.
    void RetrySetAsideJobs();
    // Where the jobs that are printed but still queued are remembered across a restart.
    void setFinishedJobStore(FinishedJobStore* store) { m_finished.setStore(store); }

private:
    enum class JobOutcome { NoFurther, Further, TickEnds };

    bool RunTick();
    JobOutcome TryJob(const QStringList& heldPrinters);
    // Where every attempt at the job in hand ends: a job that failed is reported, one whose
    // tickets wait stays queued for their printers, and one whose tickets are all out leaves the
    // queue. printed: a ticket of it came out, so it got further.
    JobOutcome FinishJob(bool printed, const std::optional<Error>& failure);
    // onlyDeletionLeft: the job's tickets are all out and its deletion failed.
    JobOutcome JobFailed(const Error& error, bool onlyDeletionLeft = false);
    QStringList AwaitedPrinters() const;
    // The status learns how many jobs wait and, from the failures, how many are set aside.
    void ShowQueueStatus(int waiting);
    // Whether the connection can be used, brought back first when it was lost.
    bool ConnectionReady();
    bool TakeFirstJob();
    void PrepareLineQueries();
    void Dispatch();
    void PrintKitchenTickets();
    void HoldExtraPrintersBehindWaitingTickets();
    void RunBuilder(const BillBuilders::Builder& builder);
    void TickFailed(const Error& error);
    void Waits(const PrinterWaiting& waiting);

    TYazimIsi& m_job;
    JobContext m_context;
    BillBuilders m_builders;
    Query m_queue;
    bool m_busy = false;
    QStringList m_jobWaitsFor; // the printers the job in hand waits for
    QHash<QString, QStringList> m_waiting;
    FinishedJobs m_finished;
    PrinterLists m_printers;
    PrintedTickets m_printedTickets;
    JobFailures m_failures;
    JobSightings m_sightings;
    ConnectionRecovery& m_connection;
    int m_queriesOpenedAfter = 0; // the reconnections before the line queries were opened
};
