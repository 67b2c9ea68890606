#include "db/DatabaseProduct.h"

#ifdef _WIN32
#include <windows.h>
#endif
#include <QSqlDatabase>
#include <QSqlDriver>
#include <QVariant>
#include <iterator>
#include <sql.h>
#include <sqlext.h>

static_assert(sizeof(SQLWCHAR) == sizeof(char16_t), "the product name is read as UTF-16");

QString DatabaseProductName(const QSqlDatabase& database) {
    if (database.driverName() == QLatin1String("QSQLITE"))
        return QStringLiteral("SQLite");
    if (database.driverName() != QLatin1String("QODBC") || !database.isOpen())
        return QString();
    // QODBC's handle is the connection's HDBC, a void* that older Qt versions named SQLHANDLE.
    const QVariant handle = database.driver()->handle();
    if (handle.metaType() != QMetaType::fromType<void*>() &&
        qstrcmp(handle.typeName(), "SQLHANDLE") != 0)
        return QString();
    const SQLHDBC connection = *static_cast<const SQLHDBC*>(handle.constData());
    SQLWCHAR name[256] = {};
    SQLSMALLINT length = 0;
    if (!SQL_SUCCEEDED(
            SQLGetInfoW(connection, SQL_DBMS_NAME, name, SQLSMALLINT(sizeof name), &length)))
        return QString();
    return QString::fromUtf16(
        reinterpret_cast<const char16_t*>(name),
        qMin<qsizetype>(length / qsizetype(sizeof(SQLWCHAR)), qsizetype(std::size(name)) - 1));
}
