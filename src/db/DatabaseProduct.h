#pragma once

#include <QString>

class QSqlDatabase;

// The products whose statements and error codes differ; any other is taken for SQL Server, which
// the statements are written for.
enum class DatabaseProduct { SqlServer, Sqlite };

// The database product behind an open connection, as it names itself: "SQLite" for the
// embedded provider, ODBC's DBMS name (SQL_DBMS_NAME) for a connection through ODBC, such as
// "Microsoft SQL Server"; empty when the connection does not say.
QString DatabaseProductName(const QSqlDatabase& database);
