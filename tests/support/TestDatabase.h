#pragma once

#include "db/DatabaseSession.h"

#include <QString>
#include <QTemporaryDir>
#include <QVariant>
#include <memory>

// A throw-away SQLite file with the contract tables, opened through the real session.
class TestDatabase {
public:
    TestDatabase();

    DatabaseSession& session() { return *m_session; }
    QString filePath() const;
    QString directory() const { return m_dir.path(); }

    // Runs a statement through the session, dialect included.
    void exec(const QString& statement);
    // The first column of the first row, or a null QVariant when there is no row.
    QVariant scalar(const QString& statement);
    int count(const QString& table, const QString& where = QString());

    // The restaurant of the server tests: the printer Mutfak at the path, the product K1 Köfte
    // printed there, and the poll interval in seconds (0: never).
    void seedKitchen(const QString& mutfakPath, int pollSeconds);
    // Seeding as the terminals do; the flag columns default to 0.
    void addProduct(const QString& code, const QString& name, const QString& printer,
                    const QString& unit = QStringLiteral("AD"));
    void addBill(qint64 id, const QString& department, const QString& table,
                 const QString& note = QString());
    qint64 addSaleLine(qint64 billId, const QString& productCode, double quantity, double amount,
                       const QString& note = QString(), int subAccount = 0);
    qint64 addReturnLine(qint64 billId, const QString& productCode, double quantity, double amount,
                         const QString& note = QString());
    qint64 queueJob(qint64 billId, const QString& type, const QString& waiterCode = QString());

private:
    QTemporaryDir m_dir;
    std::unique_ptr<DatabaseSession> m_session;
};
