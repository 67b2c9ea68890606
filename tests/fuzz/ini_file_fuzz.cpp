#include "FuzzInput.h"
#include "config/IniDocument.h"

// Any bytes read as an ini file: lookups never crash, and a write keeps the value readable and
// leaves the bytes before the edited line alone.
extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QByteArray bytes(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    IniDocument document(bytes);
    (void)document.value(QStringLiteral("Database"), QStringLiteral("Server"));
    (void)document.value(QStringLiteral("bosluk"), QStringLiteral("SOL"));

    document.setValue(QStringLiteral("Bosluk"), QStringLiteral("Sol"), QStringLiteral("12"));
    const std::optional<QString> written =
        IniDocument(document.content()).value(QStringLiteral("Bosluk"), QStringLiteral("Sol"));
    if (!written || *written != QLatin1String("12"))
        __builtin_trap();
    return 0;
}
