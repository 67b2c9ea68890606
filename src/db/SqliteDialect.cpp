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
    return text;
}
