#include "core/RegionalSettings.h"

#include <QLocale>

namespace {
RegionalSettings& processSettings() {
    static RegionalSettings settings = RegionalSettings::fromLocale(QLocale::system());
    return settings;
}
} // namespace

RegionalSettings RegionalSettings::fromLocale(const QLocale& locale) {
    RegionalSettings settings;
    const QString separator = locale.decimalPoint();
    settings.decimalSeparator = separator.isEmpty() ? QLatin1Char('.') : separator.at(0);
    settings.shortDateFormat = locale.dateFormat(QLocale::ShortFormat);
    // The long time of the system's settings carries no time zone; Qt's long format may.
    settings.longTimeFormat =
        locale.timeFormat(QLocale::LongFormat).remove(QLatin1Char('t')).trimmed();
    return settings;
}

const RegionalSettings& RegionalSettings::current() {
    return processSettings();
}

void RegionalSettings::setCurrent(const RegionalSettings& settings) {
    processSettings() = settings;
}
