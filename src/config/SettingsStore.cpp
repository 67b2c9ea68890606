#include "config/SettingsStore.h"

#include "db/Query.h"

namespace {
const QString module = QStringLiteral("POS");
}

SettingsStore::SettingsStore(Query& auxiliaryQuery)
    : X(auxiliaryQuery) {}

QString SettingsStore::ReadSetting(const QString& section, const QString& key,
                                   const QString& defaultValue) {
    X.Close();
    X.setSql(QStringLiteral(
        "SELECT Deger FROM AYAR WHERE Modul= :Modul AND Bolum= :Bolum AND Ayar= :Ayar"));
    X.setParam(QStringLiteral("Modul"), module);
    X.setParam(QStringLiteral("Bolum"), section);
    X.setParam(QStringLiteral("Ayar"), key);
    X.Open();
    if (!X.isEmpty()) {
        X.First();
        const QString value = X.text(QStringLiteral("Deger"));
        X.Close();
        return value;
    }
    X.Close();
    X.setSql(QStringLiteral(
        "INSERT INTO AYAR(Modul,Bolum,Ayar,Deger) VALUES(:Modul,:Bolum,:Ayar, :Deger)"));
    X.setParam(QStringLiteral("Modul"), module);
    X.setParam(QStringLiteral("Bolum"), section);
    X.setParam(QStringLiteral("Ayar"), key);
    X.setParam(QStringLiteral("Deger"), defaultValue);
    X.ExecSql();
    return defaultValue;
}

void SettingsStore::WriteSetting(const QString& section, const QString& key, const QString& value) {
    X.Close();
    X.setSql(QStringLiteral(
        "SELECT Ayar FROM AYAR WHERE Bolum= :Bolum AND Modul= :Modul AND Ayar= :Ayar"));
    X.setParam(QStringLiteral("Bolum"), section);
    X.setParam(QStringLiteral("Modul"), module);
    X.setParam(QStringLiteral("Ayar"), key);
    X.Open();
    const bool exists = !X.isEmpty();
    X.Close();

    X.setSql(exists ? QStringLiteral("UPDATE AYAR SET Deger= :Deger WHERE Bolum= :Bolum AND "
                                     "MODUL= :Modul AND Ayar= :Ayar")
                    : QStringLiteral("INSERT INTO AYAR(Bolum,Modul,Ayar,Deger) "
                                     "VALUES(:Bolum,:Modul,:Ayar,:Deger)"));
    X.setParam(QStringLiteral("Bolum"), section);
    X.setParam(QStringLiteral("Modul"), module);
    X.setParam(QStringLiteral("Ayar"), key);
    X.setParam(QStringLiteral("Deger"), value);
    X.ExecSql();
}
