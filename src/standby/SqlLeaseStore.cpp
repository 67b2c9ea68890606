#include "standby/SqlLeaseStore.h"

#include "core/Error.h"
#include "db/DatabaseSession.h"
#include "standby/LeaseStatements.h"

namespace {

SqlParameters Epoch(qint64 epoch) {
    return {{QStringLiteral("Donem"), epoch}};
}

} // namespace

SqlLeaseStore::SqlLeaseStore(DatabaseSession& session)
    : C(session) {}

void SqlLeaseStore::Prepare() {
    try {
        C.Execute(CreateLeaseTableStatement());
        C.Execute(InsertLeaseRowStatement());
    } catch (const DatabaseError&) {
        // Two servers starting together: the one that came second finds it all made. Only a
        // table that cannot be read is a failure.
        Holder();
    }
}

LeaseHolder SqlLeaseStore::Holder() {
    RecordSet row = C.Select(LeaseHolderStatement());
    row.First();
    if (row.Eof())
        throw DatabaseError(QStringLiteral("VelmoraSunucu tablosunda satir yok"));
    LeaseHolder holder;
    holder.server = {row.text(QStringLiteral("Bilgisayar")), row.text(QStringLiteral("Klasor"))};
    holder.epoch = row.value(QStringLiteral("Donem")).toLongLong();
    holder.ended = row.value(QStringLiteral("Bitti")).toInt() == 1;
    holder.secondsSinceRenewal = row.value(QStringLiteral("Gecen")).toLongLong();
    return holder;
}

bool SqlLeaseStore::Take(const ServerIdentity& self, qint64 seenEpoch) {
    return C.Change(TakeLeaseStatement(), {{QStringLiteral("Bilgisayar"), self.computer},
                                           {QStringLiteral("Klasor"), self.folder},
                                           {QStringLiteral("Donem"), seenEpoch}}) == 1;
}

bool SqlLeaseStore::Renew(qint64 epoch) {
    return C.Change(RenewLeaseStatement(), Epoch(epoch)) == 1;
}

void SqlLeaseStore::Release(qint64 epoch) {
    C.Change(ReleaseLeaseStatement(), Epoch(epoch));
}

bool SqlLeaseStore::ExecuteFenced(qint64 epoch, const QString& statement) {
    // Short: on SQLite the transaction locks the whole file against the terminals.
    C.BeginTransaction();
    try {
        if (C.Change(FenceStatement(), Epoch(epoch)) != 1) {
            C.Rollback();
            return false;
        }
        C.Execute(statement);
        C.Commit();
    } catch (const DatabaseError&) {
        C.Rollback();
        throw;
    }
    return true;
}

void SqlLeaseStore::Reconnect() {
    const ConnectionTarget target = C.target();
    C.Close();
    C.Open(target);
}
