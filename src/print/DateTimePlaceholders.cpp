#include "print/DateTimePlaceholders.h"

#include "core/RegionalSettings.h"

#include <optional>

QString ReplaceDateTimePlaceholders(const QString& line, const DateTimeSource& clock) {
    const QLatin1String date("#TARIH#");
    const QLatin1String time("#SAAT#");
    // Reading the local time costs a time-zone lookup; most lines have no placeholder.
    std::optional<QDateTime> now;
    const auto moment = [&]() -> const QDateTime& {
        if (!now)
            now = clock();
        return *now;
    };

    QString result = line;
    if (result.contains(date))
        result.replace(date, moment().date().toString(RegionalSettings::current().shortDateFormat));
    if (result.contains(time))
        result.replace(time, moment().time().toString(QStringLiteral("HH:mm")));
    return result;
}

QString ReplaceDateTimePlaceholders(const QString& line) {
    return ReplaceDateTimePlaceholders(line, [] { return QDateTime::currentDateTime(); });
}
