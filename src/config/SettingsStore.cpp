#include "config/SettingsStore.h"

#include "db/Query.h"

namespace {

const QString kValue =
    QStringLiteral("SELECT Deger FROM AYAR WHERE Modul= :Modul AND Bolum= :Bolum AND Ayar= :Ayar");
const QString kInsertDefault =
    QStringLiteral("INSERT INTO AYAR(Modul,Bolum,Ayar,Deger) VALUES(:Modul,:Bolum,:Ayar, :Deger)");
const QString kExists =
    QStringLiteral("SELECT Ayar FROM AYAR WHERE Bolum= :Bolum AND Modul= :Modul AND Ayar= :Ayar");
const QString kUpdate = QStringLiteral(
    "UPDATE AYAR SET Deger= :Deger WHERE Bolum= :Bolum AND MODUL= :Modul AND Ayar= :Ayar");
const QString kInsert =
    QStringLiteral("INSERT INTO AYAR(Bolum,Modul,Ayar,Deger) VALUES(:Bolum,:Modul,:Ayar,:Deger)");

// Puts a statement on X with the row's key as its parameters: the module is always "POS".
void prepare(Query& X, const QString& statement, const QString& section, const QString& key) {
    X.Close();
    X.setSql(statement);
    X.setParam(QStringLiteral("Modul"), QStringLiteral("POS"));
    X.setParam(QStringLiteral("Bolum"), section);
    X.setParam(QStringLiteral("Ayar"), key);
}

} // namespace

SettingsStore::SettingsStore(Query& auxiliaryQuery)
    : X(auxiliaryQuery) {}

QStringList SettingsStore::Statements() {
    return {kValue, kInsertDefault, kExists, kUpdate, kInsert};
}

QString SettingsStore::ReadSetting(const QString& section, const QString& key,
                                   const QString& defaultValue) {
    prepare(X, kValue, section, key);
    X.Open();
    if (!X.isEmpty()) {
        X.First();
        const QString value = X.text(QStringLiteral("Deger"));
        X.Close();
        return value;
    }
    prepare(X, kInsertDefault, section, key);
    X.setParam(QStringLiteral("Deger"), defaultValue);
    X.ExecSql();
    return defaultValue;
}

void SettingsStore::WriteSetting(const QString& section, const QString& key, const QString& value) {
    prepare(X, kExists, section, key);
    X.Open();
    const bool exists = !X.isEmpty();
    prepare(X, exists ? kUpdate : kInsert, section, key);
    X.setParam(QStringLiteral("Deger"), value);
    X.ExecSql();
}
