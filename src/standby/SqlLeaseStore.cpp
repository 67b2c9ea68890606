#include "standby/SqlLeaseStore.h"

#include "core/Error.h"
#include "standby/LeaseStatements.h"

SqlParameters HolderParameters(const ServerIdentity& holder, qint64 epoch) {
    return {{QStringLiteral("Donem"), epoch},
            {QStringLiteral("Bilgisayar"), holder.computer},
            {QStringLiteral("Klasor"), holder.folder}};
}

SqlLeaseStore::SqlLeaseStore(ConnectionTarget target)
    : m_target(std::move(target)) {}

DatabaseSession& SqlLeaseStore::Session() {
    if (!m_session.isOpen()) {
        m_session.Open(m_target);
        // SQLite has no lock wait per statement: the whole connection's is set once.
        if (m_session.product() == DatabaseProduct::Sqlite)
            m_session.Execute(QStringLiteral("PRAGMA busy_timeout = %1").arg(kBusyMilliseconds));
    }
    return m_session;
}

void SqlLeaseStore::Prepare() {
    DatabaseSession& session = Session();
    session.Execute(CreateLeaseTableStatement());
    const QString renewals = QStringLiteral("YenilemeSayisi");
    if (session.Select(LeaseColumnsStatement()).hasColumn(renewals))
        return;
    try {
        session.Execute(AddRenewalCountStatement());
    } catch (const DatabaseError&) {
        // Another server brought the table up to date at the same moment.
        if (!session.Select(LeaseColumnsStatement()).hasColumn(renewals))
            throw;
    }
}

std::optional<LeaseRow> SqlLeaseStore::Read() {
    RecordSet row = Session().Select(LeaseRowStatement());
    row.First();
    if (row.Eof())
        return std::nullopt;
    return LeaseRow{{row.text(QStringLiteral("Bilgisayar")), row.text(QStringLiteral("Klasor"))},
                    row.value(QStringLiteral("Donem")).toLongLong(),
                    row.value(QStringLiteral("YenilemeSayisi")).toLongLong(),
                    row.value(QStringLiteral("Yenileme"))};
}

void SqlLeaseStore::InsertRow() {
    Session().Execute(InsertLeaseRowStatement());
}

void SqlLeaseStore::Take(const ServerIdentity& self, const LeaseRow& seen) {
    Session().ExecuteWithParameters(TakeLeaseStatement(),
                                    {{QStringLiteral("Bilgisayar"), self.computer},
                                     {QStringLiteral("Klasor"), self.folder},
                                     {QStringLiteral("Donem"), seen.epoch},
                                     {QStringLiteral("YenilemeSayisi"), seen.renewals}});
}

void SqlLeaseStore::Renew(const ServerIdentity& self, qint64 epoch) {
    Session().ExecuteWithParameters(RenewLeaseStatement(), HolderParameters(self, epoch));
}

void SqlLeaseStore::Release(const ServerIdentity& self, qint64 epoch) {
    Session().ExecuteWithParameters(ReleaseLeaseStatement(), HolderParameters(self, epoch));
}

bool SqlLeaseStore::Answers() {
    try {
        Session().Select(QStringLiteral("SELECT 1"));
        return true;
    } catch (const DatabaseError&) {
        return false;
    }
}

void SqlLeaseStore::Reconnect() {
    m_session.Close();
}
