#include "db/ContractSchema.h"

#include "db/DatabaseSession.h"

#include <QString>
#include <QStringList>

namespace {

// Sale lines and return lines have one shape; the flags are never null.
QString lineTable(const QString& name) {
    return QStringLiteral(R"sql(
CREATE TABLE %1 (
    ID INTEGER PRIMARY KEY AUTOINCREMENT,
    FISID INTEGER NOT NULL,
    URUNKODU TEXT,
    ACIKLAMA TEXT,
    TUTAR REAL,
    ADET REAL,
    SIP INTEGER NOT NULL DEFAULT 0,
    YAZ INTEGER NOT NULL DEFAULT 0,
    EKYAZ INTEGER NOT NULL DEFAULT 0,
    H INTEGER NOT NULL DEFAULT 0
);
CREATE INDEX IX_%1_FISID ON %1 (FISID);
)sql")
        .arg(name);
}

} // namespace

// Column types follow the restaurant database closely enough for the statements to see the
// same kinds of values: text codes, integer keys and flags, floating-point amounts. A second
// printer row for one product and department would make the printer subqueries fail on SQL
// Server, while SQLite would silently pick one: the unique indexes refuse it here too.
QString ContractSchemaSql() {
    return lineTable(QStringLiteral("A_AdsSatir")) + lineTable(QStringLiteral("A_AdsIade")) +
           QStringLiteral(R"sql(
CREATE TABLE A_YazimKuyrugu (
    ID INTEGER PRIMARY KEY AUTOINCREMENT,
    Tur TEXT,
    AdisyonID INTEGER,
    GarsonKodu TEXT,
    ParcaliHesap INTEGER,
    ParcaliTur TEXT,
    YaziciAdi TEXT
);
CREATE TABLE A_Adisyon (
    ID INTEGER PRIMARY KEY,
    DEPKODU TEXT,
    MASANO TEXT,
    MUSTERIKODU TEXT,
    INDORAN REAL,
    INDTOPLAM REAL,
    SERVISORAN REAL,
    SERVISTUTAR REAL,
    TOPLAM REAL,
    FaturaNo TEXT,
    FaturaETTN TEXT,
    ALAN TEXT,
    ADISYONNO TEXT,
    ACIKLAMA TEXT,
    ONAKIT REAL,
    OKK REAL,
    OACIK REAL,
    OTICKET REAL
);
CREATE TABLE URUN (
    KODU TEXT PRIMARY KEY,
    ADI TEXT,
    YAZICI TEXT,
    BIRIM TEXT
);
CREATE TABLE URUNYAZICI (
    UrunKodu TEXT NOT NULL,
    Departman TEXT NOT NULL,
    YaziciAdi TEXT
);
CREATE UNIQUE INDEX UX_URUNYAZICI ON URUNYAZICI (UrunKodu, Departman);
CREATE TABLE URUNEKYAZICI (
    UrunKodu TEXT NOT NULL,
    Departman TEXT NOT NULL,
    YaziciAdi TEXT,
    Aciklama TEXT
);
CREATE UNIQUE INDEX UX_URUNEKYAZICI ON URUNEKYAZICI (UrunKodu, Departman);
CREATE TABLE DEPARTMAN (
    KODU TEXT,
    ADI TEXT
);
CREATE TABLE [USER] (
    KODU TEXT,
    ADI TEXT
);
CREATE TABLE A_Yazicilar (
    Adi TEXT,
    Yol TEXT
);
CREATE TABLE MUSTERI (
    KODU TEXT,
    UNVAN TEXT
);
CREATE TABLE MUSTISL (
    KODU TEXT,
    ALACAK NUMERIC,
    BORC NUMERIC
);
CREATE INDEX IX_MUSTISL_KODU ON MUSTISL (KODU);
CREATE TABLE AYAR (
    Modul TEXT,
    Bolum TEXT,
    Ayar TEXT,
    Deger TEXT
);
)sql");
}

void CreateContractSchema(DatabaseSession& session) {
    const QStringList statements = ContractSchemaSql().split(QLatin1Char(';'), Qt::SkipEmptyParts);
    for (const QString& statement : statements) {
        if (!statement.trimmed().isEmpty())
            session.Execute(statement);
    }
}
