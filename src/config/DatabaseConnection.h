#pragma once

#include "config/ComputerName.h"
#include "db/OdbcDrivers.h"

#include <QString>
#include <QStringList>
#include <functional>

class DatabaseSession;
class IniFiles;
class UserMessages;

// The connection step, in two parts so that the start-up sequence can read its own settings
// in between: ReadDatabaseIni, then Connect.
class DatabaseConnection {
public:
    using ComputerNameSource = std::function<QString()>;
    using OdbcDriverSource = std::function<QStringList()>;

    DatabaseConnection(IniFiles& iniFiles, UserMessages& messages,
                       ComputerNameSource computerName = ComputerNameOf,
                       OdbcDriverSource installedOdbcDrivers = InstalledOdbcDrivers);

    // Announces a missing Database.ini, then reads (and so writes) Server, Database, User and
    // Pass. Throws IniFileError when the file cannot be written.
    void ReadDatabaseIni();
    // Resolves the "#DEFAULT#" server (written back) and password, picks CustomConnStr or the
    // four keys and opens the session. When the database cannot be opened it shows the two
    // messages and returns false: the caller then ends the process. IniFileError passes.
    bool Connect(DatabaseSession& session);

    const QString& server() const { return m_server; }
    const QString& database() const { return m_database; }
    const QString& user() const { return m_user; }

private:
    IniFiles& m_iniFiles;
    UserMessages& m_messages;
    ComputerNameSource m_computerName;
    OdbcDriverSource m_installedOdbcDrivers;
    QString m_server;
    QString m_database;
    QString m_user;
    QString m_password;
};
