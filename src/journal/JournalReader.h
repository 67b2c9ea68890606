#pragma once

#include "journal/JournalEntry.h"
#include "journal/JournalFile.h"

#include <QDate>
#include <QDateTime>
#include <QList>
#include <QSqlQuery>
#include <QString>
#include <QVariantList>
#include <optional>

class DiagnosticLog;
class OperatorReport;

// The day's tickets and the days before, as TicketJournal wrote them, for the status page, through
// a connection of its own. A journal that cannot be read answers nothing and is reported once
// with the reason (status/OperatorReport.h); unreadable says so until it reads again.
class JournalReader {
public:
    JournalReader(QString filePath, OperatorReport& report, DiagnosticLog& log);

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
    // Whether the last read above could not read the file.
    bool unreadable() const;

private:
    // The query run on the file, or nothing when it could not be read.
    std::optional<QSqlQuery> Read(const QString& sql, const QVariantList& values) const;

    JournalFile m_file;
    OperatorReport& m_report;
};
