#include "queue/JobSightings.h"

#include "db/RecordSet.h"

void JobSightings::QueueRead(RecordSet& queue, const QDateTime& now) {
    QHash<QString, QDateTime> seen;
    for (queue.First(); !queue.Eof(); queue.Next()) {
        const QString id = queue.text(QStringLiteral("ID"));
        seen.insert(id, m_firstSeen.value(id, now));
    }
    m_firstSeen.swap(seen);
}
