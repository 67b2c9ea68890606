#pragma once

#include <QString>
#include <QVariant>
#include <optional>

// A server as the others see it: its computer and the folder it runs from, since two servers
// may run on one computer.
struct ServerIdentity {
    QString computer;
    QString folder;

    bool operator==(const ServerIdentity& other) const {
        return computer == other.computer && folder == other.folder;
    }
    bool isEmpty() const { return computer.isEmpty(); }
};

// The lease's row as one read saw it.
struct LeaseRow {
    ServerIdentity holder; // empty while nobody holds it
    qint64 epoch = 0;
    qint64 renewals = 0;
    QVariant renewedAt; // by the database's clock, compared and never read as a time

    // Whether a renewal, a takeover or a release came between the two reads.
    bool operator==(const LeaseRow& other) const {
        return holder == other.holder && epoch == other.epoch && renewals == other.renewals &&
               renewedAt == other.renewedAt;
    }
};

// Where the lease is kept. Each change is one conditional statement, and whether it happened is
// read back from the row, never from a changed-row count. Every call throws DatabaseError when
// the statement fails.
class LeaseStore {
public:
    virtual ~LeaseStore() = default;

    // Makes the table, or brings one of the version before up to date; touches no row. A
    // failure here means the lease cannot work with this database and login.
    virtual void Prepare() = 0;
    // Nothing when the row is missing.
    virtual std::optional<LeaseRow> Read() = 0;
    // Adds the row, held by nobody, when it is missing.
    virtual void InsertRow() = 0;
    // Takes over from the row as seen, if it is still so.
    virtual void Take(const ServerIdentity& self, const LeaseRow& seen) = 0;
    virtual void Renew(const ServerIdentity& self, qint64 epoch) = 0;
    virtual void Release(const ServerIdentity& self, qint64 epoch) = 0;
    // Whether the database answers at all: a lease that fails while it does is at fault.
    virtual bool Answers() = 0;
    virtual void Reconnect() = 0;
};
