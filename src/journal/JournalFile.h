#pragma once

#include <QDate>
#include <QDateTime>
#include <QSqlDatabase>
#include <QString>

class DiagnosticLog;

// The server's own SQLite file beside the executable, velmora-gunluk.db, with the journal's
// tickets and the finished jobs, through one connection of its own: nothing goes into the
// restaurant's database. Its users never wait for a lock another program holds on the file (a
// backup, a virus scan, a browser): the call fails at once and its user tries later. A file
// deleted while the server runs is made again at the next opening, for all its users at once.
class JournalFile {
public:
    JournalFile(QString filePath, DiagnosticLog& log);
    ~JournalFile();
    JournalFile(const JournalFile&) = delete;
    JournalFile& operator=(const JournalFile&) = delete;

    const QString& filePath() const { return m_filePath; }
    // The open connection, with its tables; false when the file cannot be opened.
    bool Open();
    // The next Open opens the file afresh: it may have been moved or mended meanwhile.
    void Close();
    QSqlDatabase database() const;

    // Times are kept as text that sorts as they follow each other.
    static QString TimeText(const QDateTime& time);
    static QDateTime TimeOf(const QString& text);
    static QString DayStart(const QDate& day) { return TimeText(day.startOfDay()); }

private:
    // Closes the connection when its file is gone: writes to it would vanish at close.
    void NoticeDeletedFile();

    QString m_filePath;
    QString m_connectionName;
    DiagnosticLog& m_log;
};
