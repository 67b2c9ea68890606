#include "journal/JournalFile.h"

#include <QSqlError>
#include <QVariant>

JournalFile::JournalFile(QString filePath, const QString& name, Schema schema)
    : m_filePath(std::move(filePath))
    , m_connectionName(
          QStringLiteral("velmora-%1-%2").arg(name).arg(reinterpret_cast<quintptr>(this)))
    , m_schema(std::move(schema)) {
    QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), m_connectionName);
    db.setDatabaseName(m_filePath);
    db.setConnectOptions(QStringLiteral("QSQLITE_BUSY_TIMEOUT=0"));
}

JournalFile::~JournalFile() {
    database().close();
    QSqlDatabase::removeDatabase(m_connectionName);
}

QSqlDatabase JournalFile::database() const {
    return QSqlDatabase::database(m_connectionName, false);
}

bool JournalFile::Open() const {
    QSqlDatabase db = database();
    if (db.isOpen())
        return true;
    if (!db.open())
        return false;
    QSqlQuery query(db);
    // A commit waits for no disk flush: a record costs well under a millisecond, and a power
    // cut loses at most the last records, never the file.
    const bool ready = query.exec(QStringLiteral("PRAGMA journal_mode=WAL")) &&
                       query.exec(QStringLiteral("PRAGMA synchronous=NORMAL")) && m_schema(query);
    if (!ready)
        db.close();
    return ready;
}

void JournalFile::Close() const {
    database().close();
}

std::optional<QSqlQuery> JournalFile::Run(const QString& sql, const QVariantList& values,
                                          QString& error) const {
    if (!Open()) {
        error = database().lastError().text();
        if (error.trimmed().isEmpty())
            error = QStringLiteral("dosya acilamadi");
        return std::nullopt;
    }
    QSqlQuery query(database());
    query.prepare(sql);
    for (const QVariant& value : values)
        query.addBindValue(value);
    if (query.exec())
        return query;
    error = query.lastError().text();
    return std::nullopt;
}
