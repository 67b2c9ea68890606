#pragma once

#include "standby/LeaseStore.h"

class DatabaseSession;

// The lease in the restaurant's database, reached through the server's one connection C.
class SqlLeaseStore : public LeaseStore {
public:
    explicit SqlLeaseStore(DatabaseSession& C);

    void Prepare() override;
    LeaseHolder Holder() override;
    bool Take(const ServerIdentity& self, qint64 seenEpoch) override;
    bool Renew(qint64 epoch) override;
    void Release(qint64 epoch) override;
    bool ExecuteFenced(qint64 epoch, const QString& statement) override;
    void Reconnect() override;

private:
    DatabaseSession& C;
};
