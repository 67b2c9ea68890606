#pragma once

#include <QString>

// The statements are T-SQL and reach SQL Server exactly as written. The embedded SQLite
// database needs a few spellings changed; nothing else is rewritten.
QString SqliteStatementText(const QString& tsql);
