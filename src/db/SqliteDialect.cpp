#include "db/SqliteDialect.h"

#include <QRegularExpression>

QString SqliteStatementText(const QString& tsql) {
    QString text = tsql;
    // T-SQL's two-argument ISNULL is SQLite's IFNULL; SQLite's own ISNULL is a one-argument test.
    static const QRegularExpression isNullCall(QStringLiteral(R"(\bISNULL\s*\()"),
                                               QRegularExpression::CaseInsensitiveOption);
    text.replace(isNullCall, QStringLiteral("IFNULL("));
    // The waiters live in another database on SQL Server; the embedded file holds them itself.
    static const QRegularExpression otherDatabase(QStringLiteral(R"(\bKESTROVA\.\.\[USER\])"),
                                                  QRegularExpression::CaseInsensitiveOption);
    text.replace(otherDatabase, QStringLiteral("[USER]"));
    // SQLite builds the whole UNION of the sale and return lines of every bill before it picks
    // one bill's lines out of it, but filters the arms of a UNION ALL first. The two arms
    // never share a row (their first column is 'A' or 'I'), so the result is the same.
    static const QRegularExpression lineArms(QStringLiteral(R"(\bUNION(\s+SELECT\s+'I'\s+I\b))"));
    text.replace(lineArms, QStringLiteral("UNION ALL\\1"));
    // SQLite locks the whole file and waits for it as long as the connection's busy timeout
    // says; it has no table hints.
    static const QRegularExpression noWait(QStringLiteral(R"(\s+WITH\s*\(NOWAIT\))"),
                                           QRegularExpression::CaseInsensitiveOption);
    text.remove(noWait);
    // Times are the database's own clock; SQLite keeps them as Julian day numbers, which
    // compare and add as plain numbers.
    static const QRegularExpression createIfMissing(
        QStringLiteral(
            R"(\bIF\s+OBJECT_ID\(N'(\w+)',\s*N'U'\)\s+IS\s+NULL\s+CREATE\s+TABLE\s+\1\b)"),
        QRegularExpression::CaseInsensitiveOption);
    text.replace(createIfMissing, QStringLiteral("CREATE TABLE IF NOT EXISTS \\1"));
    static const QRegularExpression laterThanNow(
        QStringLiteral(R"(\bDATEADD\(MILLISECOND,\s*(-?\d+),\s*SYSUTCDATETIME\(\)\))"),
        QRegularExpression::CaseInsensitiveOption);
    text.replace(laterThanNow, QStringLiteral("(julianday('now') + (\\1) / 86400000.0)"));
    static const QRegularExpression secondsUntilNow(
        QStringLiteral(R"(\bDATEDIFF\(SECOND,\s*(\w+),\s*SYSUTCDATETIME\(\)\))"),
        QRegularExpression::CaseInsensitiveOption);
    text.replace(secondsUntilNow,
                 QStringLiteral("CAST((julianday('now') - \\1) * 86400 AS INTEGER)"));
    static const QRegularExpression now(QStringLiteral(R"(\bSYSUTCDATETIME\(\))"),
                                        QRegularExpression::CaseInsensitiveOption);
    text.replace(now, QStringLiteral("julianday('now')"));
    return text;
}
