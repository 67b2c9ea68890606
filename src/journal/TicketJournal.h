#pragma once

#include "journal/JournalFile.h"
#include "print/Ticket.h"

#include <QDate>
#include <QDateTime>
#include <QList>
#include <QSqlQuery>
#include <QString>
#include <QVariantList>
#include <optional>

class DiagnosticLog;

// One attempt to print one ticket, as the journal keeps it.
struct JournalEntry {
    qint64 id = 0; // given by the journal
    QDateTime time;
    QString jobId;
    QString bill;
    QString department;
    QString table;
    QString waiter;
    QString jobType;
    QString printer; // the logical printer
    QString path;    // the path used: the backup's when the ticket went there
    QString error;   // empty when the ticket printed
    Ticket lines;    // the markup as the builder made it
    // When the server first saw the job queued; invalid for a ticket printed outside the queue.
    // Defaulted, so an entry initialised up to its lines is complete.
    QDateTime firstSeen = {};

    bool printed() const { return error.isEmpty(); }
};

// The day's tickets and the days before, in a SQLite file of their own beside the executable,
// through a connection of their own: nothing goes into the restaurant's database. Writing
// never throws towards printing and never waits for a lock another program holds on the
// file: a journal that cannot be written is logged once, its entries are held in memory and
// written with the next ticket it takes, or at close, which logs how many it had to drop. A
// file deleted while the server runs is created again. A journal that cannot be read answers
// nothing, is logged once with the reason and says so through readError until it reads again.
class TicketJournal {
public:
    static constexpr int kDefaultRetentionDays = 30;
    // What is held while the file cannot be written; older entries give way.
    static constexpr int kMaxPending = 10000;

    TicketJournal(QString filePath, DiagnosticLog& log);
    ~TicketJournal();
    TicketJournal(const TicketJournal&) = delete;
    TicketJournal& operator=(const TicketJournal&) = delete;

    QString filePath() const { return m_file.filePath(); }
    void setRetentionDays(int days) { m_retentionDays = days; }

    // Written at once; the oldest days are pruned at the first record of each day.
    void Record(JournalEntry entry);
    // Writes the entries held back, if any: called on every poll tick, so that they go in as
    // soon as the file takes them again, whether or not a ticket follows.
    void CatchUp();

    // The entries of that day, newest first, whose bill or table is the text (all when empty).
    QList<JournalEntry> Search(const QDate& day, const QString& billOrTable, int limit) const;
    std::optional<JournalEntry> Find(qint64 id) const;
    // The length in characters of a ticket's stored lines, told without reading them; -1 when
    // the journal holds no such ticket.
    qint64 LinesSize(qint64 id) const;
    // The time of the last ticket that printed on the logical printer, or an invalid time.
    QDateTime LastPrinted(const QString& printer) const;
    // The waits of that day's printed tickets on the logical printer, from when the server first
    // saw their job, in milliseconds, shortest first.
    QList<qint64> Waits(const QString& printer, const QDate& day) const;
    // Why the last read above could not read the file, or empty.
    QString readError() const { return m_readError; }

private:
    // Closes the connection when its file is gone, so that the next Open creates it again.
    void NoticeDeletedFile();
    // Writes the held entries in order; false, all of them still held, when the file fails.
    bool WritePending();
    bool Write(const JournalEntry& entry);
    void Prune(const QDate& today);
    void Failed(const QString& what);
    // The query run on the file, or nothing when it could not be read.
    std::optional<QSqlQuery> Read(const QString& sql, const QVariantList& values) const;

    JournalFile m_file;
    DiagnosticLog& m_log;
    int m_retentionDays = kDefaultRetentionDays;
    QDate m_prunedOn;
    QList<JournalEntry> m_pending;
    int m_dropped = 0; // older entries that gave way to newer ones while the file failed
    bool m_failing = false;
    mutable QString m_readError;
};
