#pragma once

#include "db/ConnectionTarget.h"
#include "db/DatabaseProduct.h"
#include "db/RecordSet.h"

#include <QList>
#include <QPair>
#include <QSqlDatabase>
#include <QString>
#include <QVariant>

// Named parameters in the order of their statement's parameter list; a null QVariant binds
// SQL NULL.
using SqlParameters = QList<QPair<QString, QVariant>>;

// The one database connection `C`. Statements are sent as written; for a SQLite database
// alone, reached directly or through ODBC, the dialect layer adapts the few T-SQL forms they
// use.
class DatabaseSession {
public:
    explicit DatabaseSession(QString connectionName = QStringLiteral("C"));
    ~DatabaseSession();
    DatabaseSession(const DatabaseSession&) = delete;
    DatabaseSession& operator=(const DatabaseSession&) = delete;

    // Throws DatabaseError with the database client's own text when the connection fails. Every
    // DatabaseError carries the kind its codes tell (core/Error.h).
    void Open(const ConnectionTarget& target);
    void Close();
    bool isOpen() const;
    // The database behind the open connection.
    DatabaseProduct product() const { return m_product; }
    const ConnectionTarget& target() const { return m_target; }

    // A statement without a result.
    void Execute(const QString& statement);
    // A statement with named parameters (":Name"), its result fetched whole.
    RecordSet Select(const QString& statement, const SqlParameters& parameters = {});
    // A statement with named parameters, no result read.
    void ExecuteWithParameters(const QString& statement, const SqlParameters& parameters);
    // A statement with named parameters; returns how many rows it changed.
    int Change(const QString& statement, const SqlParameters& parameters);

    // One transaction around a few statements; Commit throws DatabaseError, Rollback never.
    void BeginTransaction();
    void Commit();
    void Rollback();

    QSqlDatabase database() const;

private:
    bool isSqlite() const { return m_product == DatabaseProduct::Sqlite; }
    QString prepareText(const QString& statement) const;
    QVariant prepareValue(const QVariant& value) const;
    void run(QSqlQuery& query, const QString& statement, const SqlParameters& parameters);

    QString m_connectionName;
    ConnectionTarget m_target;
    DatabaseProduct m_product = DatabaseProduct::SqlServer;
};
