#pragma once

#include "db/ConnectionTarget.h"
#include "db/DatabaseSession.h"
#include "standby/LeaseStore.h"

// The lease in the restaurant's database, over a connection of its own, so that no print and
// no tick holds it up. Used from one thread only: the one that connects at the first call.
class SqlLeaseStore : public LeaseStore {
public:
    // On SQLite the lease's connection waits no longer than this for a lock.
    static constexpr int kBusyMilliseconds = 1000;

    explicit SqlLeaseStore(ConnectionTarget target);

    void Prepare() override;
    std::optional<LeaseRow> Read() override;
    void InsertRow() override;
    void Take(const ServerIdentity& self, const LeaseRow& seen) override;
    void Renew(const ServerIdentity& self, qint64 epoch) override;
    void Release(const ServerIdentity& self, qint64 epoch) override;
    bool Answers() override;
    void Reconnect() override;

private:
    // The connection, opened when it is not.
    DatabaseSession& Session();

    ConnectionTarget m_target;
    DatabaseSession m_session{QStringLiteral("VelmoraSunucu")};
};

// The parameters that name the lease ServerIdentity holds at epoch, as the statements that
// check it read them.
SqlParameters HolderParameters(const ServerIdentity& holder, qint64 epoch);
