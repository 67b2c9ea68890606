#include "support/ServerDirectory.h"

#include <QDir>
#include <QFile>
#include <QStringDecoder>

ServerDirectory::ServerDirectory() {
    write(QStringLiteral("Database.ini"),
          "[Database]\r\nCustomConnStr=Provider=SQLite;Data Source=velmora.db\r\n");
}

QString ServerDirectory::filePath(const QString& name) const {
    return QDir(path()).filePath(name);
}

void ServerDirectory::write(const QString& name, const QByteArray& content) const {
    QFile file(filePath(name));
    if (file.open(QIODevice::WriteOnly))
        file.write(content);
}

QByteArray ServerDirectory::read(const QString& name) const {
    QFile file(filePath(name));
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

QStringList ServerDirectory::lines(const QString& name) const {
    // The ini files are in the system's 8-bit character set, as the server writes them.
    QStringDecoder decoder(QStringConverter::System);
    QStringList result;
    for (const QString& line : QString(decoder(read(name))).split(QLatin1Char('\n'))) {
        const QString text = line.trimmed();
        if (!text.isEmpty())
            result.append(text);
    }
    return result;
}

QStringList FreshLocalSettingsLines() {
    return {QStringLiteral("[Font]"),
            QStringLiteral("Font boyu=10"),
            QStringLiteral("[Bosluk]"),
            QStringLiteral("Sol=0"),
            QStringLiteral("Sag=0"),
            QStringLiteral("Ust=0"),
            QStringLiteral("Alt=0"),
            QStringLiteral("[Sistem]"),
            QStringLiteral("Acilista bekleme suresi=5"),
            QStringLiteral("Hizli kontrol (ms)=200"),
            QStringLiteral("[Velmora]"),
            QStringLiteral("Çıktıda cari adı ve bakiyesini yaz=0"),
            QStringLiteral("Çıktıda adisyon masa bilgilerini yaz=1"),
            QStringLiteral("Hesap fislerinde doviz kurlarini yaz=0"),
            QStringLiteral("[BU KISIMDAKI AYARLARI DEGISTIRMEYIN]"),
            QStringLiteral("Dummy Server (DEGISTIRMEYIN)=0"),
            QStringLiteral("Verbose mode (DEGISTIRMEYIN)=0"),
            QStringLiteral("[Fis Gunlugu]"),
            QStringLiteral("Saklama suresi (gun)=30"),
            QStringLiteral("[Durum Sayfasi]"),
            QStringLiteral("Port=8480"),
            QStringLiteral("Sifre="),
            QStringLiteral("HTTPS=0"),
            QStringLiteral("Sertifika="),
            QStringLiteral("Anahtar="),
            QStringLiteral("Metrik anahtari="),
            QStringLiteral("[Bildirim]"),
            QStringLiteral("Adres="),
            QStringLiteral("Gecikme (sn)=60"),
            QStringLiteral("Bicim=ntfy")};
}

StartupHooks NoPauseNoRates() {
    return {[](int) {},
            [](const QString&) {
                return QString();
            }};
}
