#include "standby/StandbyLease.h"

#include "core/Error.h"

namespace {

const QString kActive = QStringLiteral("Etkin sunucu");

QString Describe(const ServerIdentity& server) {
    return server.computer + QStringLiteral(" (") + server.folder + QLatin1Char(')');
}

} // namespace

StandbyLease::StandbyLease(LeaseStore& store, ServerIdentity self, LeaseGrant& grant,
                           Listener listener, Clock clock)
    : m_store(store)
    , m_self(std::move(self))
    , m_grant(grant)
    , m_listener(std::move(listener))
    , m_clock(std::move(clock)) {}

void StandbyLease::Start() {
    const qint64 now = m_clock();
    try {
        m_store.Prepare();
    } catch (const DatabaseError& error) {
        Unusable(error.message(), now);
        return;
    }
    // Printing waits for the first check that reads the row.
    m_role = ServerRole::Standby;
    m_grant.set({ServerRole::Standby});
    Check(now);
}

void StandbyLease::Refresh() {
    if (m_role != ServerRole::Alone)
        Check(m_clock());
    else if (m_clock() >= m_retryAt)
        Start();
}

void StandbyLease::Release() {
    if (m_role != ServerRole::Active)
        return;
    m_role = ServerRole::Standby;
    m_grant.set({ServerRole::Standby});
    try {
        m_store.Release(m_self, m_epoch);
    } catch (const DatabaseError&) {
        // Closing without a database: the lease runs out by itself.
    }
}

void StandbyLease::Check(qint64 now) {
    try {
        if (m_role == ServerRole::Active)
            m_store.Renew(m_self, m_epoch);
        const LeaseRow row = ReadRow();
        Working();
        if (m_role == ServerRole::Active && row.holder == m_self && row.epoch == m_epoch)
            Hold(now);
        else
            Decide(row, now);
    } catch (const DatabaseError& error) {
        Failed(error, now);
    }
}

LeaseRow StandbyLease::ReadRow() {
    if (std::optional<LeaseRow> row = m_store.Read())
        return *row;
    try {
        m_store.InsertRow();
    } catch (const DatabaseError&) {
        // Another server may have added it at the same moment: only a row still missing fails.
        if (std::optional<LeaseRow> row = m_store.Read())
            return *row;
        throw;
    }
    if (std::optional<LeaseRow> row = m_store.Read())
        return *row;
    throw DatabaseError(QStringLiteral("VelmoraSunucu tablosuna satir eklenemedi"));
}

void StandbyLease::Decide(const LeaseRow& row, qint64 now) {
    // Nobody's, or this server's own from before a restart: no other server is involved.
    if (row.holder.isEmpty() || row.holder == m_self) {
        TakeOver(row, now, QString());
        return;
    }
    if (!m_seen || !(m_seen->row == row)) {
        m_seen = Seen{row, now};
        ShowStandby(row.holder);
        return;
    }
    if (now - m_seen->at < kLeaseMilliseconds) {
        ShowStandby(row.holder);
        return;
    }
    // The true gap lies between the last read that saw another row and the first that saw
    // this one: at least this much, by this computer's clock.
    TakeOver(
        row, now,
        kActive + QStringLiteral(" -- devralindi: ") + Describe(row.holder) +
            QStringLiteral(" son yenilemesinden en az %1 sn sonra").arg((now - m_seen->at) / 1000));
}

void StandbyLease::TakeOver(const LeaseRow& row, qint64 now, const QString& takeoverLine) {
    m_store.Take(m_self, row);
    const LeaseRow after = ReadRow();
    if (!(after.holder == m_self && after.epoch == row.epoch + 1)) {
        // Another standby was quicker.
        m_seen = Seen{after, now};
        ShowStandby(after.holder);
        return;
    }
    m_epoch = after.epoch;
    m_heldSince = now;
    m_seen.reset();
    Become(ServerRole::Active, kActive, takeoverLine, !takeoverLine.isEmpty());
}

void StandbyLease::Hold(qint64 since) {
    m_heldSince = since;
    m_grant.set({ServerRole::Active, m_epoch, m_heldSince});
}

void StandbyLease::Failed(const DatabaseError& error, qint64 now) {
    const ErrorKind kind = error.kind();
    // A database out of reach is the tick's to report; the lease waits for it.
    if (kind == ErrorKind::ConnectionLost || kind == ErrorKind::Refused ||
        (kind == ErrorKind::Other && !m_store.Answers())) {
        m_store.Reconnect();
    } else if (kind != ErrorKind::TimedOut) {
        try {
            m_store.Prepare(); // the table may have gone
        } catch (const DatabaseError& prepare) {
            Unusable(prepare.message(), now);
            return;
        }
        if (!m_failingSince)
            m_failingSince = now;
        if (kind == ErrorKind::AccessDenied || now - *m_failingSince >= kRetryMilliseconds) {
            Unusable(error.message(), now);
            return;
        }
    }
    const QString failure =
        QStringLiteral("Sunucu kirasi denetlenemedi -- Hata: ") + error.message();
    if (failure != m_failure) {
        m_failure = failure;
        Report(QString());
    }
}

void StandbyLease::Working() {
    m_failingSince.reset();
    if (m_failure.isEmpty())
        return;
    m_failure.clear();
    Report(QString());
}

void StandbyLease::Unusable(const QString& reason, qint64 now) {
    m_retryAt = now + kRetryMilliseconds;
    m_seen.reset();
    m_failingSince.reset();
    m_failure.clear();
    const QString text = QStringLiteral("Yedek sunucu kullanilamiyor: ") + reason;
    Become(ServerRole::Alone, text, text);
}

void StandbyLease::ShowStandby(const ServerIdentity& holder) {
    const QString text = QStringLiteral("Yedek sunucu -- etkin: ") +
                         (holder.isEmpty() ? QStringLiteral("yok") : Describe(holder));
    Become(ServerRole::Standby, text, text);
}

void StandbyLease::Become(ServerRole role, const QString& text, const QString& logLine,
                          bool tookOver) {
    m_role = role;
    m_grant.set({role, m_epoch, m_heldSince});
    if (text == m_text)
        return;
    m_text = text;
    Report(logLine, tookOver);
}

void StandbyLease::Report(const QString& logLine, bool tookOver) {
    if (m_listener)
        m_listener({m_role, m_text, logLine, m_failure, tookOver});
}
