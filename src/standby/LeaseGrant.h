#pragma once

#include "standby/LeaseStatements.h"

#include <QDeadlineTimer>
#include <QMutex>
#include <QMutexLocker>

// Which server of those on one database prints. Only Standby keeps a server from printing.
enum class ServerRole {
    Alone,   // no lease can work here: the server prints as a lone one did
    Standby, // another server holds the lease; this one waits to take it over
    Active,  // holds the lease and prints
};

// What the lease thread last confirmed, read by the printing thread before each ticket and
// write without waiting for the lease thread.
class LeaseGrant {
public:
    // Alone until the lease starts: a tool that never starts it prints unfenced.
    struct State {
        ServerRole role = ServerRole::Alone;
        qint64 epoch = 0;
        // When the last renewal or takeover that succeeded was sent, on this computer's
        // monotonic clock in milliseconds: no standby takes over before kLeaseMilliseconds
        // after it.
        qint64 heldSince = 0;
    };

    State current() const {
        const QMutexLocker lock(&m_mutex);
        return m_state;
    }
    void set(const State& state) {
        const QMutexLocker lock(&m_mutex);
        m_state = state;
    }

private:
    mutable QMutex m_mutex;
    State m_state;
};

// Milliseconds on this computer's monotonic clock, which no clock setting moves.
inline qint64 MonotonicMilliseconds() {
    return QDeadlineTimer::current().deadline();
}

// Whether the active server may still send a ticket: a check's time short of the earliest
// moment a standby may take over, measured on this computer's own clock.
constexpr int kTrustMilliseconds = kLeaseMilliseconds - 2000;
inline bool Trusted(const LeaseGrant::State& state, qint64 now) {
    return state.role == ServerRole::Active && now - state.heldSince < kTrustMilliseconds;
}
