#include "queue/FinishedJobs.h"

namespace {

FinishedJob Of(const TYazimIsi& job) {
    return {job.ID, job.AdisyonID, job.Tur};
}

} // namespace

void FinishedJobs::setStore(FinishedJobStore* store) {
    m_store = store;
    if (m_store)
        for (const FinishedJob& job : m_store->Load())
            m_jobs.insert(job.jobId, job);
}

bool FinishedJobs::Holds(const TYazimIsi& job) const {
    const auto found = m_jobs.constFind(job.ID);
    return found != m_jobs.constEnd() && found->bill == job.AdisyonID && found->type == job.Tur;
}

void FinishedJobs::Add(const TYazimIsi& job) {
    if (Holds(job))
        return;
    m_jobs.insert(job.ID, Of(job));
    Save(Of(job));
}

void FinishedJobs::Deleted(const QString& jobId) {
    if (m_jobs.remove(jobId) == 0)
        return;
    m_unsaved.remove(jobId);
    // A row left behind in the store is dropped at the next start, when the queue lacks it.
    if (m_store)
        m_store->Remove(jobId);
}

void FinishedJobs::KeepOnly(const QSet<QString>& queuedJobIds) {
    const QList<QString> known = m_jobs.keys();
    for (const QString& jobId : known)
        if (!queuedJobIds.contains(jobId))
            Deleted(jobId);
    const QSet<QString> unsaved = m_unsaved;
    for (const QString& jobId : unsaved)
        Save(m_jobs.value(jobId));
}

void FinishedJobs::Save(const FinishedJob& job) {
    if (!m_store || m_store->Save(job))
        m_unsaved.remove(job.jobId);
    else
        m_unsaved.insert(job.jobId);
}
