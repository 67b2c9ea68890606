#pragma once

#include "job/WriteFence.h"
#include "standby/LeaseGrant.h"
#include "standby/LeaseStore.h"

#include <functional>

// The job code's fence while a lease decides which server prints, on the tick's connection C.
// A ticket leaves only while the row names this server at the epoch the lease thread confirmed
// and that confirmation is recent (Trusted); a write happens only in one transaction with the
// row locked and so named. A server alone writes as it always did.
class LeaseFence : public WriteFence {
public:
    using Clock = std::function<qint64()>;

    LeaseFence(DatabaseSession& C, const LeaseGrant& grant, ServerIdentity self,
               Clock clock = MonotonicMilliseconds);

    void Check() override;
    void Execute(const QString& statement) override;

private:
    // Whether the row names this server at epoch, read on C, after locking it to the end of
    // the transaction when asked to; false when the row cannot be read.
    bool Holds(qint64 epoch, bool lockRow);

    DatabaseSession& C;
    const LeaseGrant& m_grant;
    const ServerIdentity m_self;
    Clock m_clock;
};
