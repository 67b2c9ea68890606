#include "core/RegionalSettings.h"

#include <QHash>
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

// Qt's short dates come from CLDR, which writes "d.MM.yyyy" for Turkish and two-digit years for
// German and US English. The restaurants read dates as Windows writes them for their locale, so
// where the two differ the tickets and the log take Windows' form. On Windows the system's own
// settings come through QLocale::system() and stand as the user set them.
QString ShortDateFormat(const QLocale& locale) {
#ifndef Q_OS_WIN
    static const QHash<QString, QString> windowsForms{
        {QStringLiteral("tr_TR"), QStringLiteral("dd.MM.yyyy")},
        {QStringLiteral("de_DE"), QStringLiteral("dd.MM.yyyy")},
        {QStringLiteral("en_US"), QStringLiteral("M/d/yyyy")},
    };
    const auto windowsForm = windowsForms.constFind(locale.name());
    if (windowsForm != windowsForms.constEnd())
        return *windowsForm;
#endif
    return locale.dateFormat(QLocale::ShortFormat);
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

const RegionalSettings& RegionalSettings::current() {
    return processSettings();
}

void RegionalSettings::setCurrent(const RegionalSettings& settings) {
    processSettings() = settings;
}
