#include "journal/JournalFile.h"

#include "log/DiagnosticLog.h"

#include <QFileInfo>
#include <QSqlQuery>
#include <QVariant>

namespace {

const QString kTimeFormat = QStringLiteral("yyyy-MM-ddTHH:mm:ss.zzz");

// A journal written before jobs had a first-seen time gets the column; its old tickets stay
// without one.
bool AddFirstSeenColumn(QSqlQuery& query) {
    if (!query.exec(QStringLiteral(
            "SELECT COUNT(*) FROM pragma_table_info('tickets') WHERE name = 'first_seen'")) ||
        !query.next())
        return false;
    return query.value(0).toInt() > 0 ||
           query.exec(QStringLiteral("ALTER TABLE tickets ADD COLUMN first_seen TEXT"));
}

} // namespace

JournalFile::JournalFile(QString filePath, DiagnosticLog& log)
    : m_filePath(std::move(filePath))
    , m_connectionName(QStringLiteral("velmora-gunluk-%1").arg(reinterpret_cast<quintptr>(this)))
    , m_log(log) {
    QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), m_connectionName);
    db.setDatabaseName(m_filePath);
    db.setConnectOptions(QStringLiteral("QSQLITE_BUSY_TIMEOUT=0"));
}

JournalFile::~JournalFile() {
    Close();
    QSqlDatabase::removeDatabase(m_connectionName);
}

QSqlDatabase JournalFile::database() const {
    return QSqlDatabase::database(m_connectionName, false);
}

bool JournalFile::Open() {
    NoticeDeletedFile();
    QSqlDatabase db = database();
    if (db.isOpen())
        return true;
    if (!db.open())
        return false;
    QSqlQuery query(db);
    // A commit waits for no disk flush: a ticket costs well under a millisecond, and a power
    // cut loses at most the last tickets of the journal, never the file.
    const bool ready =
        query.exec(QStringLiteral("PRAGMA journal_mode=WAL")) &&
        query.exec(QStringLiteral("PRAGMA synchronous=NORMAL")) &&
        query.exec(QStringLiteral(
            "CREATE TABLE IF NOT EXISTS tickets (id INTEGER PRIMARY KEY AUTOINCREMENT, "
            "time TEXT NOT NULL, job_id TEXT, bill TEXT, department TEXT, table_no TEXT, "
            "waiter TEXT, job_type TEXT, printer TEXT, path TEXT, error TEXT, lines TEXT)")) &&
        query.exec(QStringLiteral("CREATE INDEX IF NOT EXISTS tickets_time ON tickets(time)")) &&
        AddFirstSeenColumn(query) &&
        query.exec(
            QStringLiteral("CREATE TABLE IF NOT EXISTS finished_jobs (job_id TEXT PRIMARY KEY, "
                           "bill TEXT, job_type TEXT, time TEXT DEFAULT CURRENT_TIMESTAMP)"));
    if (!ready)
        db.close();
    return ready;
}

void JournalFile::Close() {
    database().close();
}

void JournalFile::NoticeDeletedFile() {
    if (!database().isOpen() || QFileInfo::exists(m_filePath))
        return;
    Close();
    m_log.LogLine(QStringLiteral("Fis gunlugu silinmis, yeniden olusturuluyor: ") + m_filePath,
                  true);
}

QString JournalFile::TimeText(const QDateTime& time) {
    return time.toString(kTimeFormat);
}

QDateTime JournalFile::TimeOf(const QString& text) {
    return QDateTime::fromString(text, kTimeFormat);
}
