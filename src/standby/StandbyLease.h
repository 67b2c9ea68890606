#pragma once

#include "core/Error.h"
#include "standby/LeaseGrant.h"
#include "standby/LeaseStore.h"

#include <QString>
#include <functional>
#include <optional>

// A change the operator sees: the role's text for the tray and the status page, a forced log line
// where there is news, and the failure of the lease's checks while they fail.
struct LeaseReport {
    ServerRole role = ServerRole::Standby;
    QString text;
    QString logLine;       // empty for none
    QString failure;       // "Sunucu kirasi denetlenemedi -- Hata: ...", or empty
    bool tookOver = false; // from another server, as the log line says
};

// The lease that lets any number of servers share one database while exactly one prints.
//
// It runs on a thread and a connection of its own (standby/LeaseKeeper.h), never on the
// printing thread: a printer that hangs for minutes, or a ticket that takes longer than the
// lease on a slow line, holds up no renewal. The other way, a deadline for every printer step
// with a renewal between steps, would cut slow tickets short and still leave the lease to one
// step's worst case. The printing thread only reads what the lease confirmed (LeaseGrant) and
// asks the database in its fence (standby/LeaseFence.h).
//
// No clock of another computer matters: the active server counts its renewals in the row, and
// a standby takes over once it has seen the row unchanged for kLeaseMilliseconds on its own
// monotonic clock, with a change conditional on the epoch and count it saw. The active server
// prints only within kTrustMilliseconds of its last renewal, on its own clock too.
//
// The lease heals by itself: a missing row or table is made again at the next check. When the
// table cannot be made or read, or the database refuses the lease's statements, or they fail for
// a minute for another reason than a lock while the database answers, the server prints alone,
// says "Yedek sunucu kullanilamiyor: ..." and tries again every minute. Failures are decided on
// their kind: a lock is another server's write and a lost connection the database's absence, so
// neither makes the lease unusable. Each change is one report; a server that finds no other on
// its database logs none.
class StandbyLease {
public:
    static constexpr int kCheckMilliseconds = 2000;
    static constexpr int kRetryMilliseconds = 60000;
    using Clock = std::function<qint64()>;
    using Listener = std::function<void(const LeaseReport&)>;

    StandbyLease(LeaseStore& store, ServerIdentity self, LeaseGrant& grant, Listener listener,
                 Clock clock = MonotonicMilliseconds);

    // The first decision: the table is made when missing, then a free lease (or this server's
    // own from before a restart) is taken at once.
    void Start();
    // Every kCheckMilliseconds: the active server renews, a standby takes over a lease that
    // stayed unchanged long enough, a server alone tries again once a minute has passed.
    void Refresh();
    // At close: a standby need not wait for the lease to run out.
    void Release();

private:
    struct Seen {
        LeaseRow row;
        qint64 at = 0; // when this standby first read it so
    };

    void Check(qint64 now);
    LeaseRow ReadRow();
    void Decide(const LeaseRow& row, qint64 now);
    void TakeOver(const LeaseRow& row, qint64 now, const QString& takeoverLine);
    void Hold(qint64 since);
    void Failed(const DatabaseError& error, qint64 now);
    // The check worked: a failure reported before is over.
    void Working();
    void Unusable(const QString& reason, qint64 now);
    void ShowStandby(const ServerIdentity& holder);
    void Become(ServerRole role, const QString& text, const QString& logLine,
                bool tookOver = false);
    void Report(const QString& logLine, bool tookOver = false);

    LeaseStore& m_store;
    const ServerIdentity m_self;
    LeaseGrant& m_grant;
    Listener m_listener;
    Clock m_clock;
    ServerRole m_role = ServerRole::Standby;
    QString m_text;
    qint64 m_epoch = 0;
    qint64 m_heldSince = 0;
    std::optional<Seen> m_seen;           // a standby's last view of another server's lease
    std::optional<qint64> m_failingSince; // while the database answers and the lease fails
    QString m_failure;                    // reported, until a check works
    qint64 m_retryAt = 0;                 // of a server alone
};
