#include "config/LocalSettings.h"

#include "config/IniFile.h"
#include "config/SettingsStore.h"
#include "log/DiagnosticLog.h"

#include <QDir>
#include <QStringList>
#include <algorithm>

namespace {

const QString Base = QStringLiteral("Velmora");
const QString TicketSection = QStringLiteral("Velmora");
const QString ProtectedSection = QStringLiteral("BU KISIMDAKI AYARLARI DEGISTIRMEYIN");

bool readSwitch(IniFiles& ini, const QString& section, const QString& key,
                const QString& defaultValue) {
    return IsSwitchOn(ini.IniReadString(Base, section, key, defaultValue));
}

} // namespace

void ReadPrintLayout(IniFiles& ini, PrintSettings& settings) {
    const QString margins = QStringLiteral("Bosluk");
    settings.fontSize = ini.IniReadInt(QStringLiteral("Font"), QStringLiteral("Font boyu"), 10);
    settings.left = ini.IniReadInt(margins, QStringLiteral("Sol"), 0);
    settings.right = ini.IniReadInt(margins, QStringLiteral("Sag"), 0);
    settings.top = ini.IniReadInt(margins, QStringLiteral("Ust"), 0);
    settings.bottom = ini.IniReadInt(margins, QStringLiteral("Alt"), 0);
}

int ReadStartupPause(IniFiles& ini) {
    return std::max(
        0, ini.IniReadInt(QStringLiteral("Sistem"), QStringLiteral("Acilista bekleme suresi"), 5));
}

LocalSwitches ReadLocalSwitches(IniFiles& ini) {
    LocalSwitches switches;
    switches.customerFlag =
        readSwitch(ini, TicketSection, QStringLiteral("Çıktıda cari adı ve bakiyesini yaz"),
                   QStringLiteral("0"));
    switches.tableInfoFlag =
        readSwitch(ini, TicketSection, QStringLiteral("Çıktıda adisyon masa bilgilerini yaz"),
                   QStringLiteral("1"));
    switches.dummy = readSwitch(
        ini, ProtectedSection, QStringLiteral("Dummy Server (DEGISTIRMEYIN)"), QStringLiteral("0"));
    switches.verbose = readSwitch(
        ini, ProtectedSection, QStringLiteral("Verbose mode (DEGISTIRMEYIN)"), QStringLiteral("0"));
    return switches;
}

bool ReadPrintRatesSwitch(IniFiles& ini) {
    return readSwitch(ini, TicketSection, QStringLiteral("Hesap fislerinde doviz kurlarini yaz"),
                      QStringLiteral("0"));
}

BackupPrinters ReadBackupPrinters(const IniFiles& ini) {
    BackupPrinters backups;
    for (const auto& [printer, backup] :
         ini.IniReadSection(Base, QStringLiteral("Yedek Yazicilar")))
        backups.Add(printer, backup);
    return backups;
}

QHash<QString, DevicePrinterSource::SpoolerOptions>
ReadSpoolerOptions(const IniFiles& ini, const QList<TYazici>& registry,
                   const PrinterSource& printers, DiagnosticLog& log) {
    QHash<QString, DevicePrinterSource::SpoolerOptions> options;
    for (const TYazici& printer : registry) {
        const QString section = QStringLiteral("Yazici ") + printer.Adi;
        QStringList given;
        for (const auto& [name, value] : ini.IniReadSection(Base, section))
            given << name + QLatin1Char('=') + value;
        if (given.isEmpty())
            continue;
        const QString where = QStringLiteral("Velmora.ini [%1]").arg(section);
        if (printers.IsVirtualPrinter(printer.Yol))
            log.LogLine(where + QStringLiteral(" kullanilmadi: ") + printer.Yol +
                            QStringLiteral(" seceneklerini yolunda tasir"),
                        true);
        else if (!options.contains(printer.Yol.toCaseFolded()))
            options.insert(printer.Yol.toCaseFolded(), {where, given.join(QLatin1Char('&'))});
    }
    return options;
}

int ReadQueueCheckInterval(IniFiles& ini) {
    const int interval = ini.IniReadInt(
        QStringLiteral("Sistem"), QStringLiteral("Hizli kontrol (ms)"), kDefaultQueueCheckInterval);
    return interval <= 0 ? 0 : std::max(kMinQueueCheckInterval, interval);
}

int ReadJournalRetention(IniFiles& ini) {
    return std::max(1, ini.IniReadInt(QStringLiteral("Fis Gunlugu"),
                                      QStringLiteral("Saklama suresi (gun)"), 30));
}

StatusPageSettings ReadStatusPageSettings(IniFiles& ini, DiagnosticLog& log) {
    const QString section = QStringLiteral("Durum Sayfasi");
    StatusPageSettings settings;
    settings.port = ini.IniReadInt(section, QStringLiteral("Port"), settings.port);
    if (settings.port < 0 || settings.port > 65535)
        settings.port = 0;
    settings.password = ini.IniReadString(Base, section, QStringLiteral("Sifre"), QString());
    settings.https = readSwitch(ini, section, QStringLiteral("HTTPS"), QStringLiteral("0"));
    const QString certificate =
        ini.IniReadString(Base, section, QStringLiteral("Sertifika"), QString());
    const QString key = ini.IniReadString(Base, section, QStringLiteral("Anahtar"), QString());
    settings.ownCertificate = !certificate.isEmpty() || !key.isEmpty();
    const QDir directory(ini.directory());
    const auto path = [&directory](const QString& name) {
        return name.isEmpty() ? QString() : directory.absoluteFilePath(name);
    };
    settings.certificateFile =
        path(settings.ownCertificate ? certificate : QStringLiteral("velmora-sertifika.pem"));
    settings.keyFile = path(settings.ownCertificate ? key : QStringLiteral("velmora-anahtar.pem"));
    const QString token =
        ini.IniReadString(Base, section, QStringLiteral("Metrik anahtari"), QString());
    if (token.size() >= StatusPageSettings::kMinMetricsTokenLength)
        settings.metricsToken = token;
    else if (!token.isEmpty())
        log.LogLine(QStringLiteral("Metrik anahtari en az %1 karakter olmali; /metrics yalnizca "
                                   "bu bilgisayara acik")
                        .arg(StatusPageSettings::kMinMetricsTokenLength),
                    true);
    return settings;
}

NotificationSettings ReadNotificationSettings(IniFiles& ini, DiagnosticLog& log) {
    const QString section = QStringLiteral("Bildirim");
    NotificationSettings settings;
    const QString address = ini.IniReadString(Base, section, QStringLiteral("Adres"), QString());
    settings.delaySeconds =
        std::max(0, ini.IniReadInt(section, QStringLiteral("Gecikme (sn)"), settings.delaySeconds));
    const QString format =
        ini.IniReadString(Base, section, QStringLiteral("Bicim"), QStringLiteral("ntfy"));
    if (format.compare(QLatin1String("json"), Qt::CaseInsensitive) == 0)
        settings.format = NotificationSettings::Format::Json;
    else if (format.compare(QLatin1String("ntfy"), Qt::CaseInsensitive) != 0)
        log.LogLine(QStringLiteral("Bildirim bicimi bilinmiyor, ntfy kullaniliyor: ") + format,
                    true);
    if (address.isEmpty())
        return settings;
    const QUrl url(address, QUrl::StrictMode);
    const QString scheme = url.scheme().toLower();
    if (url.isValid() && !url.host().isEmpty() &&
        (scheme == QLatin1String("http") || scheme == QLatin1String("https")))
        settings.address = url;
    else
        log.LogLine(
            QStringLiteral("Bildirim adresi gecersiz, bildirim gonderilmeyecek: ") + address, true);
    return settings;
}
