#include "tickets/BillSettings.h"

#include "config/SettingsStore.h"

QString ReadCompanyName(SettingsStore& settings) {
    return settings.ReadSetting(QStringLiteral("Sistem"), QStringLiteral("Firma Adi"),
                                QStringLiteral("Kestrova"));
}

QString ReadClosingText(SettingsStore& settings) {
    return settings.ReadSetting(QStringLiteral("Yazdirma"), QStringLiteral("Bitis yazisi"),
                                QStringLiteral("Tesekkur Ederiz"));
}

QString ReadBillPrinterName(SettingsStore& settings, const QString& department) {
    return settings.ReadSetting(QStringLiteral("Yazdirma"),
                                department + QLatin1String(" Adisyon yazicisi"),
                                QStringLiteral("Adisyon"));
}
