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

    // A locale's forms, with the short date as Windows writes it for that locale.
    static RegionalSettings fromLocale(const QLocale& locale);
    // This machine's settings; on Windows its short date exactly as the user set it.
    static RegionalSettings fromSystem();

    static const RegionalSettings& current();
    static void setCurrent(const RegionalSettings& settings);
};
