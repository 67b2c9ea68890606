#pragma once

#include <QHash>
#include <QList>
#include <QSet>
#include <QString>

// The kitchen tickets of unfinished jobs that came out of their printer, with their lines: when
// the marking after a good print fails (another writer holds the database), the retry marks
// those lines without printing them again. Kept for this run only, so a ticket comes out at
// most twice: once here, once more after a restart.
class PrintedTickets {
public:
    // The lines of the job's ticket of that kind ("YAZ" or "EKYAZ") for that printer that came
    // out already; null when no such ticket came out.
    const QSet<qint64>* Find(const QString& jobId, const QString& kind,
                             const QString& printer) const;
    void Printed(const QString& jobId, const QString& kind, const QString& printer,
                 const QList<qint64>& lineIds);
    // The job is done: its lines are marked and its row deleted.
    void Forget(const QString& jobId);

private:
    struct Key {
        QString jobId;
        QString kind;
        QString printer; // case-folded: one printer under the printer-name rule
        bool operator==(const Key& other) const;
    };
    friend size_t qHash(const Key& key, size_t seed);
    static Key MakeKey(const QString& jobId, const QString& kind, const QString& printer);

    QHash<Key, QSet<qint64>> m_printed;
};
