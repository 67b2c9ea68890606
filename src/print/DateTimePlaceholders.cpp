#include "print/DateTimePlaceholders.h"

#include "config/RegionalSettings.h"

QString ReplaceDateTimePlaceholders(const QString& line, const QDateTime& now) {
    QString result = line;
    result.replace(QLatin1String("#TARIH#"),
                   now.date().toString(RegionalSettings::current().shortDateFormat));
    result.replace(QLatin1String("#SAAT#"), now.time().toString(QStringLiteral("HH:mm")));
    return result;
}

QString ReplaceDateTimePlaceholders(const QString& line) {
    return ReplaceDateTimePlaceholders(line, QDateTime::currentDateTime());
}
