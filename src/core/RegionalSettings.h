#pragma once

#include <QChar>
#include <QString>

class QDateTime;
class QLocale;

// The operating system's regional settings that tickets and the log are written with.
// They are process-wide, like the system's own; tests replace them to cover other locales.
struct RegionalSettings {
    QChar decimalSeparator = QLatin1Char(',');
    QString shortDateFormat = QStringLiteral("dd.MM.yyyy"); // QDateTime format syntax
    QString longTimeFormat = QStringLiteral("HH:mm:ss");

    static RegionalSettings fromLocale(const QLocale& locale);

    static const RegionalSettings& current();
    static void setCurrent(const RegionalSettings& settings);
};
