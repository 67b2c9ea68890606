#include "journal/FinishedJobStore.h"

#include "journal/JournalFile.h"

#include <QFileInfo>
#include <QSqlQuery>
#include <QStringList>
#include <QVariant>

FinishedJobStore::FinishedJobStore(JournalFile& file)
    : m_file(file) {}

bool FinishedJobStore::Run(const QString& statement, const QStringList& values) {
    if (!m_file.Open())
        return false;
    QSqlQuery query(m_file.database());
    query.prepare(statement);
    for (const QString& value : values)
        query.addBindValue(value);
    return query.exec();
}

QList<FinishedJob> FinishedJobStore::Load() {
    QList<FinishedJob> jobs;
    // Reading creates no file: the journal makes it with its first ticket.
    if (!QFileInfo::exists(m_file.filePath()) || !m_file.Open())
        return jobs;
    QSqlQuery query(m_file.database());
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
