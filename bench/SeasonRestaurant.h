#pragma once

#include "support/BillJobRunner.h"
#include "support/TestDatabase.h"

#include <QString>

// A restaurant after a long season: 10,000 bills of 20 sale lines each, every line sent, and
// the real poller with every builder, printing through the real engine on recording canvases
// without the pauses. Built once per process on first use; the benchmarked jobs are all for one
// bill in the middle of it.
class SeasonRestaurant {
public:
    static SeasonRestaurant& Get();

    SeasonRestaurant(const SeasonRestaurant&) = delete;
    SeasonRestaurant& operator=(const SeasonRestaurant&) = delete;

    // A terminal's new order: the job bill's first ten lines are pending again. They reach
    // three production printers, and three of them the extra printer.
    void ReopenSaleLines();
    // A terminal's cancellation: the job bill's two returned lines are pending again. They
    // reach two production printers, and one of them the extra printer.
    void ReopenReturnLines();
    // Queues a job of this type for the job bill, as waiter G1, for the given sub-account.
    void QueueJob(const QString& type, int subAccount = 0);

    void Tick() { m_runner.Tick(); }
    int DocumentsPrinted() { return m_runner.printer().printers().documentCount(); }
    int JobsQueued() { return m_db.count(QStringLiteral("A_YazimKuyrugu")); }

private:
    SeasonRestaurant();
    void SeedMenu();
    void SeedCustomers();
    void SeedBills();

    TestDatabase m_db;
    BillJobRunner m_runner;
};
