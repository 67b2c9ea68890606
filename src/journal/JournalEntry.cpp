#include "journal/JournalEntry.h"

#include <QSqlQuery>
#include <QVariant>

// A journal written before jobs had a first-seen time gets the column, its old tickets without
// one.
bool MakeTicketsTable(QSqlQuery& query) {
    if (!query.exec(QStringLiteral(
            "CREATE TABLE IF NOT EXISTS tickets (id INTEGER PRIMARY KEY AUTOINCREMENT, "
            "time TEXT NOT NULL, job_id TEXT, bill TEXT, department TEXT, table_no TEXT, "
            "waiter TEXT, job_type TEXT, printer TEXT, path TEXT, error TEXT, lines TEXT)")) ||
        !query.exec(QStringLiteral("CREATE INDEX IF NOT EXISTS tickets_time ON tickets(time)")) ||
        !query.exec(QStringLiteral(
            "SELECT COUNT(*) FROM pragma_table_info('tickets') WHERE name = 'first_seen'")) ||
        !query.next())
        return false;
    return query.value(0).toInt() > 0 ||
           query.exec(QStringLiteral("ALTER TABLE tickets ADD COLUMN first_seen TEXT"));
}
