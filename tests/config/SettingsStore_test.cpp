#include "config/SettingsStore.h"
#include "db/Query.h"
#include "support/QStringPrinter.h"
#include "support/TestDatabase.h"

#include <gtest/gtest.h>

namespace {

class SettingsStoreTest : public ::testing::Test {
protected:
    QString read(const QString& section, const QString& key, const QString& defaultValue) {
        return settings.ReadSetting(section, key, defaultValue);
    }
    QStringList rows() {
        RecordSet all = db.session().Select(
            QStringLiteral("SELECT Modul, Bolum, Ayar, Deger FROM AYAR ORDER BY rowid"));
        QStringList result;
        for (all.First(); !all.Eof(); all.Next())
            result.append(QStringList{all.text("Modul"), all.text("Bolum"), all.text("Ayar"),
                                      all.text("Deger")}
                              .join(QLatin1Char('|')));
        return result;
    }

    TestDatabase db;
    Query X{db.session(), QStringLiteral("X")};
    SettingsStore settings{X};
};

TEST_F(SettingsStoreTest, EmptyTableGetsEachMissingRowWithItsDefault) {
    EXPECT_EQ(read("Sistem", "Firma Adi", "Kestrova"), "Kestrova");
    EXPECT_EQ(read("Yazdirma", "Bitis yazisi", "Tesekkur Ederiz"), "Tesekkur Ederiz");
    EXPECT_EQ(read("Yazdirma", "Salon Adisyon yazicisi", "Adisyon"), "Adisyon");
    // Read again: the rows are there now, and nothing is inserted twice.
    EXPECT_EQ(read("Sistem", "Firma Adi", "baska"), "Kestrova");
    EXPECT_EQ(rows(), (QStringList{"POS|Sistem|Firma Adi|Kestrova",
                                   "POS|Yazdirma|Bitis yazisi|Tesekkur Ederiz",
                                   "POS|Yazdirma|Salon Adisyon yazicisi|Adisyon"}));
}

TEST_F(SettingsStoreTest, DepartmentKeyWithALeadingBlankIsAKeyOfItsOwn) {
    // A bill without a department name reads " Adisyon yazicisi".
    db.exec(QStringLiteral("INSERT INTO AYAR VALUES ('POS', 'Yazdirma', 'Adisyon yazicisi', "
                           "'Kasa')"));
    EXPECT_EQ(read("Yazdirma", " Adisyon yazicisi", "Adisyon"), "Adisyon");
    EXPECT_EQ(rows().last(), QStringLiteral("POS|Yazdirma| Adisyon yazicisi|Adisyon"));
    settings.WriteSetting("Yazdirma", " Adisyon yazicisi", "Bar");
    EXPECT_EQ(read("Yazdirma", " Adisyon yazicisi", "Adisyon"), "Bar");
    EXPECT_EQ(read("Yazdirma", "Adisyon yazicisi", "Adisyon"), "Kasa");
}

TEST_F(SettingsStoreTest, OnlyModulePosCountsAndTheFirstOfSeveralRowsWins) {
    db.exec(
        QStringLiteral("INSERT INTO AYAR VALUES ('POS Genel', 'Sistem', 'Firma Adi', 'Yanlis'), "
                       "('POS', 'Sistem', 'Firma Adi', 'Birinci'), "
                       "('POS', 'Sistem', 'Firma Adi', 'Ikinci')"));
    EXPECT_EQ(read("Sistem", "Firma Adi", "Kestrova"), "Birinci");
    // A write reaches every duplicate, which then agree.
    settings.WriteSetting("Sistem", "Firma Adi", "Lokanta");
    EXPECT_EQ(rows(),
              (QStringList{"POS Genel|Sistem|Firma Adi|Yanlis", "POS|Sistem|Firma Adi|Lokanta",
                           "POS|Sistem|Firma Adi|Lokanta"}));
}

} // namespace
