#pragma once

#include "db/Query.h"
#include "queue/BillBuilders.h"
#include "queue/ConnectionRecovery.h"
#include "queue/JobContext.h"
#include "queue/JobFailures.h"
#include "queue/OperatorReport.h"
#include "queue/PrintedTickets.h"
#include "queue/ProductionPrinters.h"

#include <QString>

// The poll timer's handler: at each tick the first queued job goes from the queue query Q
// into the job record, through the builder of its type to its tickets, and out of the queue.
// A failing tick never shows a box: the job stays queued, each distinct error is reported
// once, a job that keeps failing is set aside, and a lost connection comes back by itself.
class QueuePoller {
public:
    // context.job is the record given as job.
    QueuePoller(TYazimIsi& job, const JobContext& context, BillBuilders builders);
    QueuePoller(const QueuePoller&) = delete;
    QueuePoller& operator=(const QueuePoller&) = delete;

    Query& Q() { return m_queue; }
    bool isBusy() const { return m_busy; }
    const PrinterLists& printerLists() const { return m_printers; }
    // At close: the production and extra printer lists go.
    void ReleasePrinterLists();
    // For the tray: called with each report, never waits for the operator.
    void setNotice(OperatorReport::Notice notice) { m_report.setNotice(std::move(notice)); }

    void TTimer();
    // The set-aside jobs and the failure counts are dropped, so every queued job is tried again
    // from the next tick; said in a forced log line.
    void RetrySetAsideJobs();

private:
    void RunTick();
    // The status learns how many jobs wait and, from the failures, how many are set aside.
    void ShowQueueStatus(int waiting);
    void RestoreConnection();
    bool TakeFirstJob();
    void ReadCurrentJob();
    void PrepareLineQueries();
    void Dispatch();
    void PrintKitchenTickets();
    void RunBuilder(const BillBuilders::Builder& builder);
    void TickFailed(const QString& error);

    TYazimIsi& m_job;
    JobContext m_context;
    BillBuilders m_builders;
    Query m_queue;
    bool m_busy = false;
    bool m_jobTaken = false;
    PrinterLists m_printers;
    PrintedTickets m_printedTickets;
    OperatorReport m_report;
    JobFailures m_failures;
    ConnectionRecovery m_connection;
};
