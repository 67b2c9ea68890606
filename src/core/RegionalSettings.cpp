#include "core/RegionalSettings.h"

#include <QHash>
#include <QLocale>

namespace {

RegionalSettings& processSettings() {
    static RegionalSettings settings = RegionalSettings::fromSystem();
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

// Qt's short dates come from CLDR, which writes "d.MM.yyyy" for Turkish and two-digit years for
// German and US English. The restaurants read dates as Windows writes them for their locale, so
// where the two differ the tickets and the log take Windows' form.
QString ShortDateFormat(const QLocale& locale) {
    static const QHash<QString, QString> windowsForms{
        {QStringLiteral("tr_TR"), QStringLiteral("dd.MM.yyyy")},
        {QStringLiteral("de_DE"), QStringLiteral("dd.MM.yyyy")},
        {QStringLiteral("en_US"), QStringLiteral("M/d/yyyy")},
    };
    return windowsForms.value(locale.name(), locale.dateFormat(QLocale::ShortFormat));
}

} // namespace

RegionalSettings RegionalSettings::fromLocale(const QLocale& locale) {
    RegionalSettings settings;
    const QString separator = locale.decimalPoint();
    settings.decimalSeparator = separator.isEmpty() ? QLatin1Char('.') : separator.at(0);
    settings.shortDateFormat = ShortDateFormat(locale);
    // The long time of the system's settings carries no time zone; Qt's long format may.
    settings.longTimeFormat = WithoutTimeZone(locale.timeFormat(QLocale::LongFormat));
    return settings;
}

RegionalSettings RegionalSettings::fromSystem() {
    const QLocale system = QLocale::system();
    RegionalSettings settings = fromLocale(system);
#ifdef Q_OS_WIN
    // The user's own short date, as Windows' regional settings hold it.
    settings.shortDateFormat = system.dateFormat(QLocale::ShortFormat);
#endif
    return settings;
}

const RegionalSettings& RegionalSettings::current() {
    return processSettings();
}

void RegionalSettings::setCurrent(const RegionalSettings& settings) {
    processSettings() = settings;
}
