#include "db/ContractSchema.h"

#include "db/DatabaseSession.h"

#include <QString>
#include <QStringList>

// Column types follow the restaurant database closely enough for the statements to see the
// same kinds of values: text codes, integer keys and flags, floating-point amounts.
const char* ContractSchemaSql() {
    return R"sql(
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
CREATE TABLE A_AdsSatir (
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
CREATE INDEX IX_A_AdsSatir_FISID ON A_AdsSatir (FISID);
CREATE TABLE A_AdsIade (
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
CREATE INDEX IX_A_AdsIade_FISID ON A_AdsIade (FISID);
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
CREATE TABLE URUNEKYAZICI (
    UrunKodu TEXT NOT NULL,
    Departman TEXT NOT NULL,
    YaziciAdi TEXT,
    Aciklama TEXT
);
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
CREATE TABLE AYAR (
    Modul TEXT,
    Bolum TEXT,
    Ayar TEXT,
    Deger TEXT
);
)sql";
}

void CreateContractSchema(DatabaseSession& session) {
    const QStringList statements =
        QString::fromUtf8(ContractSchemaSql()).split(QLatin1Char(';'), Qt::SkipEmptyParts);
    for (const QString& statement : statements) {
        if (!statement.trimmed().isEmpty())
            session.Execute(statement);
    }
}
