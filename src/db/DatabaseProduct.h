#pragma once

#include <QString>

class QSqlDatabase;

// The database product behind an open connection, as it names itself: "SQLite" for the
// embedded provider, ODBC's DBMS name (SQL_DBMS_NAME) for a connection through ODBC, such as
// "Microsoft SQL Server"; empty when the connection does not say.
QString DatabaseProductName(const QSqlDatabase& database);
