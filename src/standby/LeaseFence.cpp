#include "standby/LeaseFence.h"

#include "core/Error.h"
#include "db/DatabaseSession.h"
#include "standby/LeaseStatements.h"
#include "standby/SqlLeaseStore.h"

LeaseFence::LeaseFence(DatabaseSession& session, const LeaseGrant& grant, ServerIdentity self,
                       Clock clock)
    : C(session)
    , m_grant(grant)
    , m_self(std::move(self))
    , m_clock(std::move(clock)) {}

void LeaseFence::Check() {
    const LeaseGrant::State state = m_grant.current();
    if (state.role == ServerRole::Alone)
        return;
    if (state.role != ServerRole::Active || !Holds(state.epoch, false))
        throw FenceLost();
    // Last, as the bytes follow at once: the database may have kept the question waiting.
    const LeaseGrant::State confirmed = m_grant.current();
    if (!Trusted(confirmed, m_clock()) || confirmed.epoch != state.epoch)
        throw FenceLost();
}

void LeaseFence::Execute(const QString& statement) {
    const LeaseGrant::State state = m_grant.current();
    if (state.role == ServerRole::Alone) {
        C.Execute(statement);
        return;
    }
    if (state.role != ServerRole::Active)
        throw FenceLost();
    // Short: on SQLite the transaction locks the whole file against the terminals. The row
    // stays locked until the commit, so no takeover comes between the check and the write.
    C.BeginTransaction();
    if (!Holds(state.epoch, true)) {
        C.Rollback();
        throw FenceLost();
    }
    try {
        C.Execute(statement);
        C.Commit();
    } catch (const DatabaseError&) {
        C.Rollback();
        throw;
    }
}

bool LeaseFence::Holds(qint64 epoch, bool lockRow) {
    try {
        if (lockRow)
            C.ExecuteWithParameters(FenceStatement(), HolderParameters(m_self, epoch));
        RecordSet held = C.Select(LeaseHeldStatement(), HolderParameters(m_self, epoch));
        held.First();
        return !held.Eof() && held.value(QStringLiteral("Tutuyor")).toInt() == 1;
    } catch (const DatabaseError&) {
        // The lease's row or table is gone or locked: no fault of the job, and the lease
        // thread makes it again. A connection that is gone shows at the tick's next statement.
        return false;
    }
}
