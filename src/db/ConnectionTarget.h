#pragma once

#include <QString>

// What Qt SQL needs to open the connection that a connection string describes.
struct ConnectionTarget {
    QString driver;       // "QODBC" or "QSQLITE"
    QString databaseName; // the ODBC connection string, or the SQLite file path
};
