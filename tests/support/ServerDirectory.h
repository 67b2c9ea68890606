#pragma once

#include "app/StartupSequence.h"
#include "support/TestDatabase.h"

#include <QByteArray>
#include <QString>
#include <QStringList>

// The directory a server runs in: a contract database "velmora.db" and a Database.ini that
// names it relatively, as an installation on SQLite has them.
class ServerDirectory {
public:
    ServerDirectory();

    QString path() const { return m_database.directory(); }
    QString filePath(const QString& name) const;
    QString logPath() const { return filePath(QStringLiteral("velmora.log")); }
    TestDatabase& database() { return m_database; }

    void write(const QString& name, const QByteArray& content) const;
    QByteArray read(const QString& name) const;
    // The non-blank lines of a text file, without their line breaks.
    QStringList lines(const QString& name) const;

private:
    TestDatabase m_database;
};

// The start-up of a server in a test: no pause before connecting, no exchange-rate download.
StartupHooks NoPauseNoRates();

// Velmora.ini as the first start writes it: every key with its default, in reading order.
QStringList FreshLocalSettingsLines();
