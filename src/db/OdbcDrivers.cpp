#include "db/OdbcDrivers.h"

#ifdef _WIN32
#include <windows.h>
#endif
#include <QString>
#include <iterator>
#include <sql.h>
#include <sqlext.h>

static_assert(sizeof(SQLWCHAR) == sizeof(char16_t), "the driver names are read as UTF-16");

QStringList InstalledOdbcDrivers() {
    QStringList drivers;
    SQLHENV environment = SQL_NULL_HENV;
    if (!SQL_SUCCEEDED(SQLAllocHandle(SQL_HANDLE_ENV, SQL_NULL_HANDLE, &environment)))
        return drivers;
    SQLSetEnvAttr(environment, SQL_ATTR_ODBC_VERSION, reinterpret_cast<SQLPOINTER>(SQL_OV_ODBC3),
                  0);

    SQLWCHAR name[512];
    SQLWCHAR attributes[2048];
    SQLSMALLINT nameLength = 0;
    SQLSMALLINT attributesLength = 0;
    SQLUSMALLINT direction = SQL_FETCH_FIRST;
    // A name longer than the buffer comes back cut, with SQL_SUCCESS_WITH_INFO.
    while (SQL_SUCCEEDED(SQLDriversW(environment, direction, name, SQLSMALLINT(std::size(name)),
                                     &nameLength, attributes, SQLSMALLINT(std::size(attributes)),
                                     &attributesLength))) {
        drivers.append(QString::fromUtf16(reinterpret_cast<const char16_t*>(name)));
        direction = SQL_FETCH_NEXT;
    }
    SQLFreeHandle(SQL_HANDLE_ENV, environment);
    return drivers;
}
