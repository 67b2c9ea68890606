#include "journal/JournalReader.h"

#include "status/OperatorReport.h"

#include <QJsonArray>
#include <QJsonDocument>

namespace {

const QString kColumns = QStringLiteral("id, time, job_id, bill, department, table_no, waiter, "
                                        "job_type, printer, path, error, ");

JournalEntry ReadEntry(const QSqlQuery& query) {
    JournalEntry entry;
    entry.id = query.value(0).toLongLong();
    entry.time = JournalFile::TimeOf(query.value(1).toString());
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

} // namespace

JournalReader::JournalReader(QString filePath, OperatorReport& report, DiagnosticLog& log)
    : m_file(std::move(filePath), QStringLiteral("gunluk-okuma"), MakeTicketsTable, log)
    , m_report(report) {}

bool JournalReader::unreadable() const {
    return m_report.isOn(FaultKind::JournalUnreadable, m_file.filePath());
}

QList<JournalEntry> JournalReader::Search(const QDate& day, const QString& billOrTable,
                                          int limit) const {
    QVariantList values{JournalFile::DayStart(day), JournalFile::DayStart(day.addDays(1))};
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

std::optional<JournalEntry> JournalReader::Find(qint64 id) const {
    std::optional<QSqlQuery> query = Read(QStringLiteral("SELECT ") + kColumns +
                                              QStringLiteral("lines FROM tickets WHERE id = ?"),
                                          {id});
    if (!query || !query->next())
        return std::nullopt;
    return ReadEntry(*query);
}

qint64 JournalReader::LinesSize(qint64 id) const {
    std::optional<QSqlQuery> query =
        Read(QStringLiteral("SELECT length(lines) FROM tickets WHERE id = ?"), {id});
    return query && query->next() ? query->value(0).toLongLong() : -1;
}

QDateTime JournalReader::LastPrinted(const QString& printer) const {
    // A printed ticket's error is written as NULL.
    std::optional<QSqlQuery> query =
        Read(QStringLiteral("SELECT MAX(time) FROM tickets WHERE printer = ? COLLATE NOCASE "
                            "AND (error IS NULL OR error = '')"),
             {printer});
    if (!query || !query->next())
        return QDateTime();
    return JournalFile::TimeOf(query->value(0).toString());
}

QList<qint64> JournalReader::Waits(const QString& printer, const QDate& day) const {
    std::optional<QSqlQuery> query = Read(
        QStringLiteral(
            "SELECT CAST(ROUND((julianday(time) - julianday(first_seen)) * 86400000) AS INTEGER) "
            "AS wait FROM tickets WHERE time >= ? AND time < ? AND printer = ? COLLATE NOCASE "
            "AND IFNULL(error, '') = '' AND first_seen IS NOT NULL ORDER BY wait"),
        {JournalFile::DayStart(day), JournalFile::DayStart(day.addDays(1)), printer});
    QList<qint64> waits;
    while (query && query->next())
        waits.append(query->value(0).toLongLong());
    return waits;
}

std::optional<QSqlQuery> JournalReader::Read(const QString& sql, const QVariantList& values) const {
    QString error;
    std::optional<QSqlQuery> query = m_file.Run(sql, values, error);
    if (query)
        m_report.Ended(FaultKind::JournalUnreadable, m_file.filePath());
    else if (!unreadable())
        m_report.Started(FaultKind::JournalUnreadable, m_file.filePath(),
                         QStringLiteral("Fis gunlugu okunamadi -- ") + m_file.filePath() +
                             QStringLiteral(": ") + error);
    return query;
}
