#include "core/RegionalSettings.h"

#include <QLocale>

namespace {

RegionalSettings& processSettings() {
    static RegionalSettings settings = RegionalSettings::fromLocale(QLocale::system());
    return settings;
}

// The format without its time-zone letters "t". Text in single quotes is literal and keeps
// every letter; "''" is a quote character, inside quotes or out.
QString WithoutTimeZone(const QString& format) {
    QString result;
    bool quoted = false;
    for (const QChar c : format) {
        if (c == QLatin1Char('\''))
            quoted = !quoted;
        else if (c == QLatin1Char('t') && !quoted)
            continue;
        result += c;
    }
    return result.trimmed();
}

} // namespace

RegionalSettings RegionalSettings::fromLocale(const QLocale& locale) {
    RegionalSettings settings;
    const QString separator = locale.decimalPoint();
    settings.decimalSeparator = separator.isEmpty() ? QLatin1Char('.') : separator.at(0);
    settings.shortDateFormat = locale.dateFormat(QLocale::ShortFormat);
    // The long time of the system's settings carries no time zone; Qt's long format may.
    settings.longTimeFormat = WithoutTimeZone(locale.timeFormat(QLocale::LongFormat));
    return settings;
}

const RegionalSettings& RegionalSettings::current() {
    return processSettings();
}

void RegionalSettings::setCurrent(const RegionalSettings& settings) {
    processSettings() = settings;
}
