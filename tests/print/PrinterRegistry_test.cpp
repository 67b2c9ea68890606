#include "db/Query.h"
#include "print/PrinterRegistry.h"
#include "support/TestDatabase.h"

#include <gtest/gtest.h>

namespace {

class PrinterRegistryTest : public ::testing::Test {
protected:
    void AddRow(const QString& values) {
        database.exec(QStringLiteral("INSERT INTO A_Yazicilar (Adi, Yol) VALUES (%1)").arg(values));
    }
    void Load() {
        Query YAZ(database.session(), QStringLiteral("YAZ"));
        YAZ.setSql(PrinterRegistry::Statement());
        registry.LoadPrinterRegistry(YAZ);
        EXPECT_FALSE(YAZ.isOpen());
    }

    TestDatabase database;
    PrinterRegistry registry;
};

TEST_F(PrinterRegistryTest, LastRowOfARepeatedNameWinsAndEveryRowIsKept) {
    AddRow(QStringLiteral("'Adisyon', 'KASA-1'"));
    AddRow(QStringLiteral("'Mutfak', 'MUTFAK'"));
    AddRow(QStringLiteral("'Adisyon', 'KASA-2'"));
    Load();

    ASSERT_EQ(registry.printers().size(), 3);
    EXPECT_EQ(registry.printers()[1].Adi, QStringLiteral("Mutfak"));
    EXPECT_EQ(registry.FindPrinterPath(QStringLiteral("Adisyon")), QStringLiteral("KASA-2"));
    EXPECT_EQ(registry.FindPrinterPath(QStringLiteral("Mutfak")), QStringLiteral("MUTFAK"));
}

TEST_F(PrinterRegistryTest, NamesMatchWithoutRegardToCaseButWithoutTrimming) {
    AddRow(QStringLiteral("'Adisyon', 'KASA'"));
    AddRow(QStringLiteral("'Bar ', 'BAR'"));
    AddRow(QStringLiteral("'IZGARA', 'IZGARA-1'"));
    AddRow(QStringLiteral("'Izgara', 'IZGARA-2'"));
    Load();

    EXPECT_EQ(registry.FindPrinterPath(QStringLiteral("adisyon")), QStringLiteral("KASA"));
    EXPECT_EQ(registry.FindPrinterPath(QStringLiteral("izgara")), QStringLiteral("IZGARA-2"));
    EXPECT_EQ(registry.FindPrinterPath(QStringLiteral("Adisyon ")), QString());
    EXPECT_EQ(registry.FindPrinterPath(QStringLiteral("Bar")), QString());
    EXPECT_EQ(registry.FindPrinterPath(QStringLiteral("Bar ")), QStringLiteral("BAR"));
    EXPECT_EQ(registry.FindPrinterPath(QString()), QString());
}

TEST_F(PrinterRegistryTest, NullColumnsReadAsEmptyTexts) {
    AddRow(QStringLiteral("NULL, 'ADSIZ'"));
    AddRow(QStringLiteral("'Paket', NULL"));
    AddRow(QStringLiteral("'Teras', ''"));
    Load();

    EXPECT_EQ(registry.FindPrinterPath(QString()), QStringLiteral("ADSIZ"));
    EXPECT_EQ(registry.FindPrinterPath(QStringLiteral("Paket")), QString());
    EXPECT_EQ(registry.FindPrinterPath(QStringLiteral("Teras")), QString());
}

TEST_F(PrinterRegistryTest, EmptyTableFindsNothingAndReloadingReplacesTheList) {
    Load();
    EXPECT_TRUE(registry.printers().isEmpty());
    EXPECT_EQ(registry.FindPrinterPath(QStringLiteral("Adisyon")), QString());

    AddRow(QStringLiteral("'Adisyon', 'KASA'"));
    Load();
    Load();
    EXPECT_EQ(registry.printers().size(), 1);
}

} // namespace
