#include "FuzzInput.h"
#include "core/Error.h"
#include "db/ConnectionString.h"

// Whatever a technician writes into CustomConnStr, and whatever the four keys hold, the
// translation gives a target or a clear DatabaseError.
extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QString text = FuzzText(data, size);
    const QStringList drivers{QStringLiteral("FreeTDS"), QStringLiteral("SQLite3")};
    try {
        (void)TranslateConnectionString(text, QStringLiteral("/opt/velmora"), drivers);
    } catch (const DatabaseError&) {
    }
    const QStringList parts = text.split(QLatin1Char('\n'));
    try {
        (void)SqlServerTarget(parts.value(0), parts.value(1), parts.value(2), parts.value(3),
                              drivers);
        (void)SqlServerTarget(parts.value(0), parts.value(1), parts.value(2), parts.value(3),
                              {QStringLiteral("ODBC Driver 18 for SQL Server")});
    } catch (const DatabaseError&) {
    }
    return 0;
}
