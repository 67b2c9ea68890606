#include "db/DatabaseSession.h"

#include "core/Error.h"
#include "db/DatabaseProduct.h"
#include "db/SqliteDialect.h"

#include <QFileInfo>
#include <QSqlError>
#include <QSqlQuery>

namespace {

QString clientErrorText(const QSqlError& error) {
    const QString text = error.text().trimmed();
    return text.isEmpty() ? QStringLiteral("Bilinmeyen veritabani hatasi") : text;
}

// SQLite's primary result codes, as its Qt driver passes them on.
ErrorKind SqliteErrorKind(int code) {
    switch (code) {
    case 3:  // SQLITE_PERM
    case 8:  // SQLITE_READONLY
    case 23: // SQLITE_AUTH
        return ErrorKind::AccessDenied;
    case 5: // SQLITE_BUSY: another connection's lock outlasted the busy timeout
    case 6: // SQLITE_LOCKED
        return ErrorKind::TimedOut;
    case 13: // SQLITE_FULL
        return ErrorKind::DiskFull;
    default:
        return ErrorKind::Other;
    }
}

// SQL Server's error numbers, and the Windows socket errors its client reports as its own.
ErrorKind SqlServerErrorKind(int code) {
    switch (code) {
    case 229:   // a permission denied on an object
    case 230:   // on a column
    case 262:   // to create
    case 18456: // the login failed
        return ErrorKind::AccessDenied;
    case 1105: // a filegroup is full
    case 9002: // the transaction log is full
        return ErrorKind::DiskFull;
    case 1222: // the lock request timed out
        return ErrorKind::TimedOut;
    case 10053: // the connection was aborted
    case 10054: // reset by the server
        return ErrorKind::ConnectionLost;
    case 10060: // the server did not answer the connection
    case 10061: // it refused it
        return ErrorKind::Refused;
    default:
        return ErrorKind::Other;
    }
}

// untold: the kind when the codes tell none.
DatabaseError Failure(const QSqlError& error, DatabaseProduct product,
                      ErrorKind untold = ErrorKind::Other) {
    const int code = error.nativeErrorCode().toInt();
    const ErrorKind kind =
        product == DatabaseProduct::Sqlite ? SqliteErrorKind(code) : SqlServerErrorKind(code);
    return DatabaseError(clientErrorText(error), kind == ErrorKind::Other ? untold : kind);
}

} // namespace

DatabaseSession::DatabaseSession(QString connectionName)
    : m_connectionName(std::move(connectionName)) {}

DatabaseSession::~DatabaseSession() {
    Close();
}

void DatabaseSession::Open(const ConnectionTarget& target) {
    Close();
    m_target = target;
    m_product = DatabaseProduct::SqlServer;
    if (target.driver == QLatin1String("QSQLITE") && !QFileInfo::exists(target.databaseName)) {
        // SQLite would quietly create an empty database and every query would then fail.
        throw DatabaseError(QStringLiteral("Veritabani dosyasi bulunamadi: ") +
                            target.databaseName);
    }
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(target.driver, m_connectionName);
        if (!db.isValid()) {
            QSqlDatabase::removeDatabase(m_connectionName);
            throw DatabaseError(QStringLiteral("Veritabani surucusu yuklenemedi: ") +
                                target.driver);
        }
        db.setDatabaseName(target.databaseName);
        // An unreachable server must not hold start-up for minutes.
        if (target.driver == QLatin1String("QODBC"))
            db.setConnectOptions(QStringLiteral("SQL_ATTR_LOGIN_TIMEOUT=15"));
        if (db.open()) {
            // The dialect follows the database behind the connection, not the Qt driver: SQLite
            // may as well answer through ODBC.
            if (DatabaseProductName(db).startsWith(QLatin1String("SQLite"), Qt::CaseInsensitive))
                m_product = DatabaseProduct::Sqlite;
            return;
        }
        const QSqlError error = db.lastError();
        db = QSqlDatabase();
        QSqlDatabase::removeDatabase(m_connectionName);
        // Judged by the driver asked for, the product being unknown before the connection is; a
        // connection that failed for no reason the codes tell did not reach the database.
        throw Failure(error,
                      target.driver == QLatin1String("QSQLITE") ? DatabaseProduct::Sqlite
                                                                : DatabaseProduct::SqlServer,
                      ErrorKind::Refused);
    }
}

void DatabaseSession::Close() {
    if (!QSqlDatabase::contains(m_connectionName))
        return;
    {
        QSqlDatabase db = QSqlDatabase::database(m_connectionName, false);
        db.close();
    }
    QSqlDatabase::removeDatabase(m_connectionName);
}

bool DatabaseSession::isOpen() const {
    return QSqlDatabase::contains(m_connectionName) &&
           QSqlDatabase::database(m_connectionName, false).isOpen();
}

QSqlDatabase DatabaseSession::database() const {
    return QSqlDatabase::database(m_connectionName, false);
}

void DatabaseSession::Execute(const QString& statement) {
    QSqlQuery query(database());
    if (!query.exec(prepareText(statement)))
        throw Failure(query.lastError(), m_product);
}

RecordSet DatabaseSession::Select(const QString& statement, const SqlParameters& parameters) {
    QSqlQuery query(database());
    query.setForwardOnly(true);
    // Doubles, not each ODBC driver's own text of decimal, money and float columns (which "10.0"
    // would print); a double holds every amount a restaurant writes exactly enough.
    query.setNumericalPrecisionPolicy(QSql::LowPrecisionDouble);
    run(query, statement, parameters);
    return RecordSet::fetchAll(query);
}

void DatabaseSession::ExecuteWithParameters(const QString& statement,
                                            const SqlParameters& parameters) {
    QSqlQuery query(database());
    run(query, statement, parameters);
}

int DatabaseSession::Change(const QString& statement, const SqlParameters& parameters) {
    QSqlQuery query(database());
    run(query, statement, parameters);
    return query.numRowsAffected();
}

void DatabaseSession::BeginTransaction() {
    QSqlDatabase db = database();
    if (!db.transaction())
        throw Failure(db.lastError(), m_product);
}

void DatabaseSession::Commit() {
    QSqlDatabase db = database();
    if (!db.commit())
        throw Failure(db.lastError(), m_product);
}

void DatabaseSession::Rollback() {
    // A connection that failed mid-transaction has ended it already; nothing is left to undo.
    database().rollback();
}

void DatabaseSession::run(QSqlQuery& query, const QString& statement,
                          const SqlParameters& parameters) {
    if (!isOpen())
        throw DatabaseError(QStringLiteral("Veritabani baglantisi acik degil"),
                            ErrorKind::ConnectionLost);
    if (!query.prepare(prepareText(statement)))
        throw Failure(query.lastError(), m_product);
    for (const auto& [name, value] : parameters)
        query.bindValue(QLatin1Char(':') + name, prepareValue(value));
    if (!query.exec())
        throw Failure(query.lastError(), m_product);
}

QString DatabaseSession::prepareText(const QString& statement) const {
    return isSqlite() ? SqliteStatementText(statement) : statement;
}

QVariant DatabaseSession::prepareValue(const QVariant& value) const {
    // SQLite has no boolean type; the flag columns hold 0 and 1.
    if (isSqlite() && value.metaType().id() == QMetaType::Bool)
        return value.toBool() ? 1 : 0;
    return value;
}
