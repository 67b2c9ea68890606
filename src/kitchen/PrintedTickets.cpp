#include "kitchen/PrintedTickets.h"

bool PrintedTickets::Key::operator==(const Key& other) const {
    return jobId == other.jobId && kind == other.kind && printer == other.printer;
}

size_t qHash(const PrintedTickets::Key& key, size_t seed) {
    return qHashMulti(seed, key.jobId, key.kind, key.printer);
}

PrintedTickets::Key PrintedTickets::MakeKey(const QString& jobId, const QString& kind,
                                            const QString& printer) {
    return {jobId, kind, printer.toCaseFolded()};
}

const QSet<qint64>* PrintedTickets::Find(const QString& jobId, const QString& kind,
                                         const QString& printer) const {
    const auto found = m_printed.constFind(MakeKey(jobId, kind, printer));
    return found == m_printed.constEnd() ? nullptr : &found.value();
}

void PrintedTickets::Printed(const QString& jobId, const QString& kind, const QString& printer,
                             const QList<qint64>& lineIds) {
    QSet<qint64>& lines = m_printed[MakeKey(jobId, kind, printer)];
    for (const qint64 id : lineIds)
        lines.insert(id);
}

void PrintedTickets::Forget(const QString& jobId) {
    m_printed.removeIf([&jobId](const auto& entry) { return entry.key().jobId == jobId; });
}
