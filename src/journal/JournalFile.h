#pragma once

#include <QSqlDatabase>
#include <QSqlQuery>
#include <QString>
#include <QVariantList>
#include <functional>
#include <optional>

// A connection of its own to the journal's SQLite file, for one kind of record kept there (the
// tickets, the finished jobs, the kitchen screens' cards). It never waits for a lock another
// program holds on the file (a backup, a virus scan, a database browser): the call fails at
// once and its owner decides what to do. It opens when first used, in WAL mode, and makes its
// tables then; after Close it opens afresh, since the file may have been moved or fixed.
class JournalFile {
public:
    // Makes the owner's tables, or brings those of an older file up to date; false when it
    // cannot.
    using Schema = std::function<bool(QSqlQuery& query)>;

    // The name tells the connections apart in a log of Qt's.
    JournalFile(QString filePath, const QString& name, Schema schema);
    ~JournalFile();
    JournalFile(const JournalFile&) = delete;
    JournalFile& operator=(const JournalFile&) = delete;

    const QString& filePath() const { return m_filePath; }
    QSqlDatabase database() const;
    // True when open, the tables made.
    bool Open() const;
    void Close() const;
    // The statement run with its values, or nothing and the reason in error.
    std::optional<QSqlQuery> Run(const QString& sql, const QVariantList& values,
                                 QString& error) const;

private:
    QString m_filePath;
    QString m_connectionName;
    Schema m_schema;
};
