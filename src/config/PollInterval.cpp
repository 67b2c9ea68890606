#include "config/PollInterval.h"

#include "config/SettingsStore.h"
#include "core/Error.h"
#include "log/DiagnosticLog.h"

#include <limits>
#include <optional>

namespace {

const QString Section = QStringLiteral("Sistem");
const QString Key = QStringLiteral("Server calisma araligi (x snde bir)");

std::optional<int> millisecondsOf(const QString& seconds) {
    bool ok = false;
    const int value = seconds.toInt(&ok, 10);
    if (!ok || value < 0 || value > std::numeric_limits<int>::max() / 1000)
        return std::nullopt;
    return value * 1000;
}

} // namespace

int ReadPollInterval(SettingsStore& settings, DiagnosticLog& log) {
    QString problem;
    try {
        const QString value = settings.ReadSetting(Section, Key, QStringLiteral("2"));
        if (const auto interval = millisecondsOf(value))
            return *interval;
        problem = QStringLiteral("\"") + value + QStringLiteral("\" gecerli bir sure degil");
    } catch (const Error& error) {
        problem = error.message();
    }
    log.LogLine(Key + QStringLiteral(" okunamadi (") + problem +
                    QStringLiteral("); 2 saniye kullaniliyor, ayar \"2\" yapildi"),
                true);
    // The row that was read is the one repaired. Writing "POS Genel" instead would leave the
    // bad value in place and repeat this at every start.
    settings.WriteSetting(Section, Key, QStringLiteral("2"));
    return kDefaultPollInterval;
}
