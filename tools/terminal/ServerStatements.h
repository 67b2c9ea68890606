#pragma once

#include <QList>
#include <QString>

// A statement the server sends to SQL Server, named for the file that shows it.
struct ServerStatement {
    QString name;
    QString text;
};

// Every statement the server and its tools send to SQL Server, built by the code that sends
// them, with sample values where that code takes some, and each named parameter in T-SQL's
// own form (@Name, as the ODBC driver hands it on). The quick check between the ticks is its
// SQL Server form; the journal's own SQLite file is not among them.
QList<ServerStatement> ServerStatements();
