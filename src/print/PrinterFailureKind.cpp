#include "print/PrinterFailureKind.h"

#include "print/EscPosStatus.h"

#include <utility>

QLatin1String PrinterFailureKind(const QString& reason) {
    // The reasons' beginnings as the printers' code words them (the spooler queues' on Linux
    // and on Windows).
    const std::pair<QString, QLatin1String> kinds[] = {
        {EscPosStatus::kPaperEnd, QLatin1String("paper_end")},
        {EscPosStatus::kCoverOpen, QLatin1String("cover_open")},
        {EscPosStatus::kOffline, QLatin1String("offline")},
        {EscPosStatus::kNoAnswer, QLatin1String("offline")},
        {QStringLiteral("Yazici kuyruguna ulasilamadi"), QLatin1String("offline")},
        {QStringLiteral("Yazici acilamadi"), QLatin1String("offline")},
        {QStringLiteral("Yazici kuyrugu "), QLatin1String("refused")},
        {QStringLiteral("Yazici hazir degil"), QLatin1String("refused")},
    };
    for (const auto& [beginning, kind] : kinds) {
        if (reason.startsWith(beginning))
            return kind;
    }
    return QLatin1String("other");
}
