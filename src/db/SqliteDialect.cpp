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
    return text;
}
