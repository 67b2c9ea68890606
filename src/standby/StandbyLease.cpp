#include "standby/StandbyLease.h"

#include "core/Error.h"
#include "db/DatabaseSession.h"
#include "log/DiagnosticLog.h"
#include "status/ServerStatus.h"

namespace {

const QString kActive = QStringLiteral("Etkin sunucu");

QString Describe(const ServerIdentity& server) {
    return server.computer + QStringLiteral(" (") + server.folder + QLatin1Char(')');
}

} // namespace

StandbyLease::StandbyLease(LeaseStore& store, DatabaseSession& session, ServerStatus& status,
                           DiagnosticLog& log)
    : m_store(store)
    , m_unfenced(session)
    , m_status(status)
    , m_log(log) {}

bool StandbyLease::Start(const ServerIdentity& self) {
    m_self = self;
    try {
        m_store.Prepare();
    } catch (const DatabaseError& error) {
        const QString text =
            QStringLiteral("Tek sunucu: yedek sunucu tablosu olusturulamadi -- ") + error.message();
        Become(ServerRole::Alone, text, text);
        return false;
    }
    m_role = ServerRole::Standby;
    Refresh();
    return true;
}

void StandbyLease::Refresh() {
    try {
        if (m_role == ServerRole::Active && !m_store.Renew(m_epoch))
            Lost();
        if (m_role == ServerRole::Standby)
            TakeOverIfEnded();
        m_checkError.clear();
    } catch (const FenceLost&) {
        // Between ticks: nothing to unwind.
    } catch (const DatabaseError& error) {
        if (error.message() != m_checkError)
            m_log.LogLine(QStringLiteral("Sunucu kirasi denetlenemedi -- Hata: ") + error.message(),
                          true);
        m_checkError = error.message();
        // An active server's poller brings the connection back; a standby has only this.
        if (m_role == ServerRole::Standby) {
            try {
                m_store.Reconnect();
            } catch (const DatabaseError&) {
                // Still out of reach: reported above, tried again at the next check.
            }
        }
    }
}

void StandbyLease::TakeOverIfEnded() {
    const LeaseHolder holder = m_store.Holder();
    if (!holder.ended) {
        ShowStandby(holder);
        return;
    }
    if (!m_store.Take(m_self, holder.epoch))
        return; // another standby was quicker: the next check shows it
    m_epoch = holder.epoch + 1;
    // Its own lease from before a restart, or none at all: no other server is involved.
    const bool fromAnother =
        !holder.server.computer.isEmpty() &&
        (holder.server.computer != m_self.computer || holder.server.folder != m_self.folder);
    const QString takeover =
        fromAnother
            ? kActive + QStringLiteral(" -- devralindi: ") + Describe(holder.server) +
                  QStringLiteral(" son yenilemesinden %1 sn sonra").arg(holder.secondsSinceRenewal)
            : QString();
    Become(ServerRole::Active, kActive, takeover);
    if (fromAnother)
        m_status.TookOver(takeover);
}

void StandbyLease::Check() {
    if (m_role == ServerRole::Standby)
        throw FenceLost();
    if (m_role == ServerRole::Active && !m_store.Renew(m_epoch))
        Lost();
}

void StandbyLease::Execute(const QString& statement) {
    if (m_role == ServerRole::Alone)
        m_unfenced.Execute(statement);
    else if (m_role == ServerRole::Standby)
        throw FenceLost();
    else if (!m_store.ExecuteFenced(m_epoch, statement))
        Lost();
}

void StandbyLease::Release() {
    if (m_role != ServerRole::Active)
        return;
    try {
        m_store.Release(m_epoch);
    } catch (const DatabaseError&) {
        // Closing without a database: the lease runs out by itself.
    }
    m_role = ServerRole::Standby;
}

void StandbyLease::Lost() {
    LeaseHolder holder;
    try {
        holder = m_store.Holder();
    } catch (const DatabaseError&) {
        holder.ended = true; // who holds it now shows at the next check
    }
    ShowStandby(holder);
    throw FenceLost();
}

void StandbyLease::ShowStandby(const LeaseHolder& holder) {
    const QString active = holder.ended || holder.server.computer.isEmpty()
                               ? QStringLiteral("yok")
                               : Describe(holder.server);
    const QString text = QStringLiteral("Yedek sunucu -- etkin: ") + active;
    Become(ServerRole::Standby, text, text);
}

void StandbyLease::Become(ServerRole role, const QString& text, const QString& logLine) {
    const bool printedBefore = prints();
    m_role = role;
    m_status.RoleChanged(text, logLine);
    if (m_listener && prints() != printedBefore)
        m_listener(prints());
}
