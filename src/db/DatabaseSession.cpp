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

} // namespace

DatabaseSession::DatabaseSession(QString connectionName)
    : m_connectionName(std::move(connectionName)) {}

DatabaseSession::~DatabaseSession() {
    Close();
}

void DatabaseSession::Open(const ConnectionTarget& target) {
    Close();
    m_target = target;
    m_sqlite = false;
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
            m_sqlite =
                DatabaseProductName(db).startsWith(QLatin1String("SQLite"), Qt::CaseInsensitive);
            return;
        }
        const QString message = clientErrorText(db.lastError());
        db = QSqlDatabase();
        QSqlDatabase::removeDatabase(m_connectionName);
        throw DatabaseError(message);
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

bool DatabaseSession::isSqlite() const {
    return m_sqlite;
}

QSqlDatabase DatabaseSession::database() const {
    return QSqlDatabase::database(m_connectionName, false);
}

void DatabaseSession::Execute(const QString& statement) {
    QSqlQuery query(database());
    if (!query.exec(prepareText(statement)))
        throw DatabaseError(clientErrorText(query.lastError()));
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
        throw DatabaseError(clientErrorText(db.lastError()));
}

void DatabaseSession::Commit() {
    QSqlDatabase db = database();
    if (!db.commit())
        throw DatabaseError(clientErrorText(db.lastError()));
}

void DatabaseSession::Rollback() {
    // A connection that failed mid-transaction has ended it already; nothing is left to undo.
    database().rollback();
}

void DatabaseSession::run(QSqlQuery& query, const QString& statement,
                          const SqlParameters& parameters) {
    if (!isOpen())
        throw DatabaseError(QStringLiteral("Veritabani baglantisi acik degil"));
    if (!query.prepare(prepareText(statement)))
        throw DatabaseError(clientErrorText(query.lastError()));
    for (const auto& [name, value] : parameters)
        query.bindValue(QLatin1Char(':') + name, prepareValue(value));
    if (!query.exec())
        throw DatabaseError(clientErrorText(query.lastError()));
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
