#include "journal/FinishedJobStore.h"

#include <QFileInfo>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QStringList>
#include <QVariant>

FinishedJobStore::FinishedJobStore(QString filePath)
    : m_filePath(std::move(filePath))
    , m_connectionName(
          QStringLiteral("velmora-biten-isler-%1").arg(reinterpret_cast<quintptr>(this))) {
    QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), m_connectionName);
    db.setDatabaseName(m_filePath);
    // Another program holding the file must not hold up printing: the next tick tries again.
    db.setConnectOptions(QStringLiteral("QSQLITE_BUSY_TIMEOUT=0"));
}

FinishedJobStore::~FinishedJobStore() {
    QSqlDatabase::database(m_connectionName, false).close();
    QSqlDatabase::removeDatabase(m_connectionName);
}

bool FinishedJobStore::Open() {
    QSqlDatabase db = QSqlDatabase::database(m_connectionName, false);
    if (db.isOpen())
        return true;
    if (!db.open())
        return false;
    if (QSqlQuery(db).exec(
            QStringLiteral("CREATE TABLE IF NOT EXISTS finished_jobs (job_id TEXT PRIMARY KEY, "
                           "bill TEXT, job_type TEXT, time TEXT DEFAULT CURRENT_TIMESTAMP)")))
        return true;
    db.close();
    return false;
}

bool FinishedJobStore::Run(const QString& statement, const QStringList& values) {
    if (!Open())
        return false;
    QSqlQuery query(QSqlDatabase::database(m_connectionName, false));
    query.prepare(statement);
    for (const QString& value : values)
        query.addBindValue(value);
    return query.exec();
}

QList<FinishedJob> FinishedJobStore::Load() {
    QList<FinishedJob> jobs;
    // Reading creates no file: the journal makes it with its first ticket.
    if (!QFileInfo::exists(m_filePath) || !Open())
        return jobs;
    QSqlQuery query(QSqlDatabase::database(m_connectionName, false));
    if (!query.exec(QStringLiteral("SELECT job_id, bill, job_type FROM finished_jobs")))
        return jobs;
    while (query.next())
        jobs.append(
            {query.value(0).toString(), query.value(1).toString(), query.value(2).toString()});
    return jobs;
}

bool FinishedJobStore::Save(const FinishedJob& job) {
    return Run(QStringLiteral("INSERT OR REPLACE INTO finished_jobs (job_id, bill, job_type) "
                              "VALUES (?, ?, ?)"),
               {job.jobId, job.bill, job.type});
}

bool FinishedJobStore::Remove(const QString& jobId) {
    return Run(QStringLiteral("DELETE FROM finished_jobs WHERE job_id = ?"), {jobId});
}
