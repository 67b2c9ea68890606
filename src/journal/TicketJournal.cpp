#include "journal/TicketJournal.h"

#include "log/DiagnosticLog.h"

#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QVariant>

namespace {

const QString kTimeFormat = QStringLiteral("yyyy-MM-ddTHH:mm:ss.zzz");
const QString kColumns = QStringLiteral("id, time, job_id, bill, department, table_no, waiter, "
                                        "job_type, printer, path, error, ");

QString DayStart(const QDate& day) {
    return day.startOfDay().toString(kTimeFormat);
}

JournalEntry ReadEntry(const QSqlQuery& query) {
    JournalEntry entry;
    entry.id = query.value(0).toLongLong();
    entry.time = QDateTime::fromString(query.value(1).toString(), kTimeFormat);
    entry.jobId = query.value(2).toString();
    entry.bill = query.value(3).toString();
    entry.department = query.value(4).toString();
    entry.table = query.value(5).toString();
    entry.waiter = query.value(6).toString();
    entry.jobType = query.value(7).toString();
    entry.printer = query.value(8).toString();
    entry.path = query.value(9).toString();
    entry.error = query.value(10).toString();
    for (const QJsonValue& line : QJsonDocument::fromJson(query.value(11).toByteArray()).array())
        entry.lines.append(line.toString());
    return entry;
}

QByteArray LinesJson(const Ticket& lines) {
    return QJsonDocument(QJsonArray::fromStringList(lines)).toJson(QJsonDocument::Compact);
}

// The tickets' table; a journal written before jobs had a first-seen time gets the column, its
// old tickets without one.
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

} // namespace

// Another program holding the file (a backup, a virus scan, a browser) fails a write at once
// rather than holding up the ticket: the entry waits in memory instead.
TicketJournal::TicketJournal(QString filePath, DiagnosticLog& log)
    : m_file(std::move(filePath), QStringLiteral("gunluk"), MakeTicketsTable)
    , m_log(log) {}

TicketJournal::~TicketJournal() {
    if (!m_pending.isEmpty())
        WritePending();
    const qsizetype lost = m_dropped + m_pending.size();
    if (lost > 0)
        m_log.LogLine(
            QStringLiteral("Fis gunlugu kapanirken %1 fis kaydi yazilamadi, kayboldu: ").arg(lost) +
                filePath(),
            true);
}

void TicketJournal::Record(JournalEntry entry) {
    m_pending.append(std::move(entry));
    if (m_pending.size() > kMaxPending) {
        m_pending.removeFirst();
        ++m_dropped;
    }
    CatchUp();
}

void TicketJournal::CatchUp() {
    if (m_pending.isEmpty() || !WritePending())
        return;
    if (m_failing) {
        m_failing = false;
        QString line = QStringLiteral("Fis gunlugu yeniden yaziliyor: ") + filePath();
        if (m_dropped > 0)
            line += QStringLiteral(" (%1 fis kaydi sigmadi, kayboldu)").arg(m_dropped);
        m_dropped = 0;
        m_log.LogLine(line, true);
    }
    Prune(QDate::currentDate());
}

bool TicketJournal::WritePending() {
    NoticeDeletedFile();
    QSqlDatabase db = m_file.database();
    // One transaction: the held entries go in whole or stay held whole, for one commit.
    if (!m_file.Open() || !db.transaction()) {
        Failed(db.lastError().text());
        return false;
    }
    for (const JournalEntry& entry : std::as_const(m_pending)) {
        if (!Write(entry))
            return false; // closed by Failed, which rolls the others back
    }
    if (!db.commit()) {
        Failed(db.lastError().text());
        return false;
    }
    m_pending.clear();
    return true;
}

void TicketJournal::NoticeDeletedFile() {
    // A deleted file stays writable through the open connection and vanishes at close,
    // taking every entry written since with it.
    if (!m_file.database().isOpen() || QFileInfo::exists(filePath()))
        return;
    m_file.Close();
    m_log.LogLine(QStringLiteral("Fis gunlugu silinmis, yeniden olusturuluyor: ") + filePath(),
                  true);
}

bool TicketJournal::Write(const JournalEntry& entry) {
    QSqlQuery query(m_file.database());
    query.prepare(QStringLiteral("INSERT INTO tickets (time, job_id, bill, department, table_no, "
                                 "waiter, job_type, printer, path, error, lines, first_seen) "
                                 "VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?)"));
    for (const QVariant& value :
         {QVariant(entry.time.toString(kTimeFormat)), QVariant(entry.jobId), QVariant(entry.bill),
          QVariant(entry.department), QVariant(entry.table), QVariant(entry.waiter),
          QVariant(entry.jobType), QVariant(entry.printer), QVariant(entry.path),
          QVariant(entry.error), QVariant(LinesJson(entry.lines)),
          entry.firstSeen.isValid() ? QVariant(entry.firstSeen.toString(kTimeFormat)) : QVariant()})
        query.addBindValue(value);
    if (query.exec())
        return true;
    Failed(query.lastError().text());
    return false;
}

void TicketJournal::Prune(const QDate& today) {
    if (m_prunedOn == today)
        return;
    QSqlQuery query(m_file.database());
    query.prepare(QStringLiteral("DELETE FROM tickets WHERE time < ?"));
    query.addBindValue(DayStart(today.addDays(-m_retentionDays)));
    if (query.exec())
        m_prunedOn = today;
}

void TicketJournal::Failed(const QString& what) {
    // Closed, so the next ticket opens the file afresh: it may have been moved or fixed.
    m_file.Close();
    if (m_failing)
        return;
    m_failing = true;
    m_log.LogLine(QStringLiteral("Fis gunlugu yazilamadi, yazdirma suruyor -- ") + filePath() +
                      QStringLiteral(": ") + what,
                  true);
}

QList<JournalEntry> TicketJournal::Search(const QDate& day, const QString& billOrTable,
                                          int limit) const {
    QVariantList values{DayStart(day), DayStart(day.addDays(1))};
    if (!billOrTable.isEmpty())
        values << billOrTable << billOrTable;
    values << limit;
    // A list shows no lines: they are left unread.
    std::optional<QSqlQuery> query =
        Read(QStringLiteral("SELECT ") + kColumns +
                 QStringLiteral("'' FROM tickets WHERE time >= ? AND time < ?") +
                 (billOrTable.isEmpty() ? QString()
                                        : QStringLiteral(" AND (bill = ? OR table_no = ?)")) +
                 QStringLiteral(" ORDER BY time DESC, id DESC LIMIT ?"),
             values);
    QList<JournalEntry> entries;
    while (query && query->next())
        entries.append(ReadEntry(*query));
    return entries;
}

std::optional<JournalEntry> TicketJournal::Find(qint64 id) const {
    std::optional<QSqlQuery> query = Read(QStringLiteral("SELECT ") + kColumns +
                                              QStringLiteral("lines FROM tickets WHERE id = ?"),
                                          {id});
    if (!query || !query->next())
        return std::nullopt;
    return ReadEntry(*query);
}

qint64 TicketJournal::LinesSize(qint64 id) const {
    std::optional<QSqlQuery> query =
        Read(QStringLiteral("SELECT length(lines) FROM tickets WHERE id = ?"), {id});
    return query && query->next() ? query->value(0).toLongLong() : -1;
}

QDateTime TicketJournal::LastPrinted(const QString& printer) const {
    // A printed ticket's error is written as NULL.
    std::optional<QSqlQuery> query =
        Read(QStringLiteral("SELECT MAX(time) FROM tickets WHERE printer = ? COLLATE NOCASE "
                            "AND (error IS NULL OR error = '')"),
             {printer});
    if (!query || !query->next())
        return QDateTime();
    return QDateTime::fromString(query->value(0).toString(), kTimeFormat);
}

std::optional<QSqlQuery> TicketJournal::Read(const QString& sql, const QVariantList& values) const {
    QString error;
    std::optional<QSqlQuery> query = m_file.Run(sql, values, error);
    if (query) {
        m_readError.clear();
        return query;
    }
    if (m_readError.isEmpty()) {
        m_log.LogLine(QStringLiteral("Fis gunlugu okunamadi -- ") + filePath() +
                          QStringLiteral(": ") + error,
                      true);
    }
    m_readError = error;
    return std::nullopt;
}

QList<qint64> TicketJournal::Waits(const QString& printer, const QDate& day) const {
    std::optional<QSqlQuery> query = Read(
        QStringLiteral(
            "SELECT CAST(ROUND((julianday(time) - julianday(first_seen)) * 86400000) AS INTEGER) "
            "AS wait FROM tickets WHERE time >= ? AND time < ? AND printer = ? COLLATE NOCASE "
            "AND IFNULL(error, '') = '' AND first_seen IS NOT NULL ORDER BY wait"),
        {DayStart(day), DayStart(day.addDays(1)), printer});
    QList<qint64> waits;
    while (query && query->next())
        waits.append(query->value(0).toLongLong());
    return waits;
}
