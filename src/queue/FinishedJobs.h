#pragma once

#include "job/JobRecord.h"
#include "journal/FinishedJobStore.h"

#include <QHash>
#include <QSet>
#include <QString>

// Jobs whose tickets all came out while their queue row stayed, because its deletion failed (a
// trigger, a permission, another program's lock): they are only deleted again, never printed
// again. A job is known by its ID together with its bill and type, and forgotten once its row
// has left the queue, so an ID that the database hands out again belongs to a new job.
class FinishedJobs {
public:
    // Kept there too, so that a restart does not print them again; loaded at once.
    void setStore(FinishedJobStore* store);

    bool Holds(const TYazimIsi& job) const;
    void Add(const TYazimIsi& job);
    void Deleted(const QString& jobId);
    // After a read of the whole queue; a job the store could not take is offered again.
    void KeepOnly(const QSet<QString>& queuedJobIds);

private:
    void Save(const FinishedJob& job);

    FinishedJobStore* m_store = nullptr;
    QHash<QString, FinishedJob> m_jobs;
    QSet<QString> m_unsaved;
};
