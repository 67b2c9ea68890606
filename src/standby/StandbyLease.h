#pragma once

#include "job/WriteFence.h"
#include "standby/LeaseStore.h"

#include <QString>
#include <functional>

class DiagnosticLog;
class ServerStatus;

// Which server of those on one database prints. Only Standby keeps a server from printing.
enum class ServerRole {
    Alone,   // no lease: its table could not be made, so the server prints as a lone one
    Standby, // another server holds the lease; this one waits to take it over
    Active,  // holds the lease and prints
};

// The lease that lets any number of servers share one database while exactly one prints: the
// fence of the job code. The active server renews it at every check and before every ticket,
// and writes the marks and deletions of its jobs only together with a check that no other
// server has taken over since; a standby takes it over once it has ended. Each role change shows in
// the tray and on the status page (ServerStatus) and is one forced log line, but for a server that
// finds no other.
class StandbyLease : public WriteFence {
public:
    static constexpr int kCheckMilliseconds = 2000;
    // Told whether the server prints after each role change.
    using Listener = std::function<void(bool prints)>;

    // Writes go to the session as they are while the server is alone.
    StandbyLease(LeaseStore& store, DatabaseSession& session, ServerStatus& status,
                 DiagnosticLog& log);

    void setListener(Listener listener) { m_listener = std::move(listener); }
    ServerRole role() const { return m_role; }
    bool prints() const { return m_role != ServerRole::Standby; }
    // False while the last check could not reach the database.
    bool reachesDatabase() const { return m_checkError.isEmpty(); }

    // With the connection open: the lease's table is made when missing and the first check
    // runs. False when the table cannot be made: the server stays alone, and says so once.
    // Whether the server prints is then read from prints(); the listener hears of later changes.
    bool Start(const ServerIdentity& self);
    // The lease timer's handler: the active server renews, a standby takes over an ended lease.
    void Refresh();
    // Before a ticket: throws FenceLost unless the lease is still this server's.
    void Check() override;
    // The statement runs only while the lease is still this server's; throws FenceLost.
    void Execute(const QString& statement) override;
    // At close: a standby need not wait for the lease to run out.
    void Release();

private:
    void TakeOverIfEnded();
    [[noreturn]] void Lost();
    void ShowStandby(const LeaseHolder& holder);
    void Become(ServerRole role, const QString& text, const QString& logLine);

    LeaseStore& m_store;
    Unfenced m_unfenced;
    ServerStatus& m_status;
    DiagnosticLog& m_log;
    Listener m_listener;
    ServerIdentity m_self;
    ServerRole m_role = ServerRole::Alone;
    qint64 m_epoch = 0;
    QString m_checkError; // the last failed check's, reported once
};
