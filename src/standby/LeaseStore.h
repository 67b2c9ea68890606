#pragma once

#include <QString>

// A server as the others see it: its computer and the folder it runs from, since two servers
// may run on one computer.
struct ServerIdentity {
    QString computer;
    QString folder;
};

// The lease as the database holds it.
struct LeaseHolder {
    ServerIdentity server; // empty before any server took it
    qint64 epoch = 0;
    bool ended = false;
    qint64 secondsSinceRenewal = 0; // by the database's clock
};

// Where the lease is kept. Every decision about time is the store's, taken on the database's
// clock; each change is one conditional statement whose row count says whether it happened.
// Every call throws DatabaseError when the database does not answer.
class LeaseStore {
public:
    virtual ~LeaseStore() = default;

    // Creates the lease's table and row when they are missing.
    virtual void Prepare() = 0;
    virtual LeaseHolder Holder() = 0;
    // Takes over a lease that has ended and is still at seenEpoch: true when this server now
    // holds it at seenEpoch + 1.
    virtual bool Take(const ServerIdentity& self, qint64 seenEpoch) = 0;
    // False when the lease held at epoch has ended or another server has taken it.
    virtual bool Renew(qint64 epoch) = 0;
    virtual void Release(qint64 epoch) = 0;
    // Runs the statement in one transaction with a check that the lease is still at epoch.
    // False, with nothing changed, when another server has taken it over.
    virtual bool ExecuteFenced(qint64 epoch, const QString& statement) = 0;
    // After a failure, for a server that does not poll and so has nobody else to reconnect.
    virtual void Reconnect() = 0;
};
