#pragma once

#include "db/ConnectionTarget.h"

#include <QString>
#include <QStringList>

// The first installed of the SQL Server ODBC drivers in order of preference; "SQL Server"
// when none is, so that the driver manager's own error text names what is missing.
QString SqlServerOdbcDriver(const QStringList& installedOdbcDrivers);

// SQL Server through ODBC, keywords in upper case and every value quoted as the chosen driver
// reads it, so a password may hold any character. Throws DatabaseError for a value the driver
// cannot carry.
ConnectionTarget SqlServerTarget(const QString& server, const QString& database,
                                 const QString& user, const QString& password,
                                 const QStringList& installedOdbcDrivers);

// A complete connection string written by a technician: an ODBC string (naming Driver or
// DSN) goes to ODBC with its keywords upper-cased, values untouched; an OLE DB string for SQL
// Server is carried over to ODBC; the SQLite provider opens its Data Source file, relative to the
// executable's directory unless absolute. Throws DatabaseError for a string it cannot use.
ConnectionTarget TranslateConnectionString(const QString& connectionString,
                                           const QString& executableDirectory,
                                           const QStringList& installedOdbcDrivers);
