#pragma once

#include "db/ConnectionTarget.h"
#include "standby/LeaseGrant.h"
#include "standby/StandbyLease.h"

#include <QObject>
#include <QThread>
#include <QTimer>
#include <memory>

class SqlLeaseStore;

// Runs the lease on a thread of its own with its own connection to the database, so that no
// printer and no tick can hold a renewal up (standby/StandbyLease.h says why). The printing
// thread reads the grant; reports reach the listener on the thread that made the keeper.
class LeaseKeeper : public QObject {
public:
    using Listener = StandbyLease::Listener;

    explicit LeaseKeeper(ServerIdentity self);
    ~LeaseKeeper() override;

    const ServerIdentity& self() const { return m_self; }
    const LeaseGrant& grant() const { return m_grant; }
    // Only a standby keeps from printing.
    bool prints() const { return m_grant.current().role != ServerRole::Standby; }
    // False while the lease's checks fail, as last reported.
    bool reachesDatabase() const { return m_reachesDatabase; }
    void setListener(Listener listener) { m_listener = std::move(listener); }

    // Connects to target and waits for the lease's first decision, so that no tick runs
    // before it; returns whether the server prints. That decision is reported too.
    bool Start(const ConnectionTarget& target);
    // Hands the lease over and ends the thread.
    void Stop();

private:
    const ServerIdentity m_self;
    LeaseGrant m_grant;
    Listener m_listener;
    bool m_reachesDatabase = true;
    QThread m_thread;
    QObject m_onThread; // where the lease's work is queued
    // Made, used and destroyed on the thread.
    std::unique_ptr<SqlLeaseStore> m_store;
    std::unique_ptr<StandbyLease> m_lease;
    std::unique_ptr<QTimer> m_timer;
};
