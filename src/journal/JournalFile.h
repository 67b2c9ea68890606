#pragma once

#include <QDate>
#include <QDateTime>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QString>
#include <QVariantList>
#include <functional>
#include <optional>

class DiagnosticLog;

// A connection of its own to the journal's SQLite file, for one kind of record kept there (the
// tickets, the finished jobs, the kitchen screens' cards). It never waits for a lock another
// program holds on the file (a backup, a virus scan, a database browser): the call fails at
// once and its owner decides what to do. It opens when first used, in WAL mode, and makes its
// tables then; after Close it opens afresh, since the file may have been moved or fixed. A file
// deleted while the server runs is made again at the next opening, said once in the log, and
// every other connection to it opens the new file too: the deleted one would take whatever is
// written to it along when it is closed.
class JournalFile {
public:
    // Makes the owner's tables, or brings those of an older file up to date; false when it
    // cannot.
    using Schema = std::function<bool(QSqlQuery& query)>;

    // The name tells the connections apart in a log of Qt's.
    JournalFile(QString filePath, const QString& name, Schema schema, DiagnosticLog& log);
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

    // Times are kept as text that sorts as they follow each other.
    static QString TimeText(const QDateTime& time);
    static QDateTime TimeOf(const QString& text);
    static QString DayStart(const QDate& day) { return TimeText(day.startOfDay()); }

private:
    // Whether the open connection still has the file at the path.
    bool HasFile() const;

    QString m_filePath;
    QString m_connectionName;
    Schema m_schema;
    DiagnosticLog& m_log;
    mutable int m_remakesAtOpen = 0;
};
