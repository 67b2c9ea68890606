#include "journal/FinishedJobStore.h"

#include <QFileInfo>
#include <QSqlQuery>
#include <QVariant>

namespace {

bool MakeFinishedJobsTable(QSqlQuery& query) {
    return query.exec(
        QStringLiteral("CREATE TABLE IF NOT EXISTS finished_jobs (job_id TEXT PRIMARY KEY, "
                       "bill TEXT, job_type TEXT, time TEXT DEFAULT CURRENT_TIMESTAMP)"));
}

} // namespace

// Another program holding the file must not hold up printing: the next tick tries again.
FinishedJobStore::FinishedJobStore(QString filePath, DiagnosticLog& log)
    : m_file(std::move(filePath), QStringLiteral("biten-isler"), MakeFinishedJobsTable, log) {}

bool FinishedJobStore::Run(const QString& statement, const QVariantList& values) {
    QString error;
    return m_file.Run(statement, values, error).has_value();
}

QList<FinishedJob> FinishedJobStore::Load() {
    QList<FinishedJob> jobs;
    // Reading creates no file: the journal makes it with its first ticket.
    if (!QFileInfo::exists(m_file.filePath()))
        return jobs;
    QString error;
    std::optional<QSqlQuery> query =
        m_file.Run(QStringLiteral("SELECT job_id, bill, job_type FROM finished_jobs"), {}, error);
    if (!query)
        return jobs;
    while (query->next())
        jobs.append(
            {query->value(0).toString(), query->value(1).toString(), query->value(2).toString()});
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
