#include "core/RegionalSettings.h"
#include "kitchen/KitchenStatements.h"
#include "screen/KitchenCard.h"
#include "support/QStringPrinter.h"
#include "support/QueueHarness.h"

#include <gtest/gtest.h>

namespace {

// The item lines of a production ticket: what follows its ten header lines.
QStringList items(const Ticket& ticket) {
    return ticket.mid(10);
}

class KitchenTicketsTest : public ::testing::Test {
protected:
    void SetUp() override {
        h.seedRestaurant();
        h.db.addBill(302, QStringLiteral("1"), QStringLiteral("5"), QStringLiteral("Acele"));
    }

    QueueHarness h;
};

// The whole texts of a production, an extra and a cancellation ticket, rendered by the print
// engine, with the regional decimal separator in the quantities.
class KitchenTicketTextTest : public ::testing::TestWithParam<char> {
protected:
    void SetUp() override {
        RegionalSettings regional = saved;
        regional.decimalSeparator = QLatin1Char(GetParam());
        RegionalSettings::setCurrent(regional);
        h.seedRestaurant();
    }
    void TearDown() override { RegionalSettings::setCurrent(saved); }

    const RegionalSettings saved = RegionalSettings::current();
    QueueHarness h{QueueHarness::Printing::Rendered, {"MUTFAK-1", "IZGARA-1"}};
};

TEST_P(KitchenTicketTextTest, ProductionExtraAndCancellationTicketsLineByLine) {
    const QString separator = QString(QLatin1Char(GetParam()));
    h.db.addBill(302, QStringLiteral("1"), QStringLiteral("5"), QStringLiteral("Acele"));
    const qint64 kofte =
        h.db.addSaleLine(302, QStringLiteral("K1"), 2, 100, QStringLiteral("soğansız"));
    const qint64 pilav = h.db.addSaleLine(302, QStringLiteral("P1"), 12.5, 40);
    const QString longName = "Şefinözelkarışıkızgaratabağıbüyükboyacılılavaşlısı"; // 50, one word
    h.db.addProduct(QStringLiteral("L1"), longName, QStringLiteral("Mutfak"));
    h.db.addSaleLine(302, QStringLiteral("L1"), 1, 10);
    h.rendered.printers().setup().pageWidth = 400; // 40 characters
    h.db.queueJob(302, QStringLiteral("0"), QStringLiteral("G1"));
    h.tick();
    const qint64 returned = h.db.addReturnLine(302, QStringLiteral("K1"), 1.5, 75);
    h.db.queueJob(302, QStringLiteral("2"), QStringLiteral("G1"));
    h.tick();

    const QList<Ticket> kitchen = h.rendered.TicketsFor(QStringLiteral("MUTFAK-1"));
    const QList<Ticket> grill = h.rendered.TicketsFor(QStringLiteral("IZGARA-1"));
    ASSERT_EQ(kitchen.size(), 2);
    ASSERT_EQ(grill.size(), 2);
    const QStringList kitchenHeader{
        "#+ Sipariş No: 302", "#TARIH# #SAAT#", "#+Salon - 5", "Ayşe", "#!Acele", "=-",
        "AD. URUN",           ">-ACIKLAMA",     "=-"};
    const QStringList grillHeader{"#+Ads. No: 302", ">-#TARIH# #SAAT#", "#+Salon - 5", "Ayşe", "=-",
                                  "AD. URUN",       ">-ACIKLAMA",       "=-"};
    const QString twelveAndAHalf = "12" + separator + "5";
    const QString oneAndAHalf = "1" + separator + "5";
    const Ticket production =
        QStringList{"#-URETIM FISI"} + kitchenHeader +
        QStringList{"%+2   Köfte", "_*soğansız", "%+" + twelveAndAHalf + " Pilav"} +
        QStringList{"%+1   " + longName};
    const Ticket extra =
        QStringList{"#-ÜRETIM FISI"} + grillHeader + QStringList{"%+2   Az pişmiş", ">*soğansız"};
    const Ticket cancellation = QStringList{"#!!!! IPTAL !!!"} + kitchenHeader +
                                QStringList{"%*" + oneAndAHalf + " Köfte", "#!!!!IPTAL!!!"};
    const Ticket extraCancellation =
        QStringList{"#!!!! IPTAL !!!"} + grillHeader +
        QStringList{"%*" + oneAndAHalf + " Az pişmiş", ">*", "#!!!!IPTAL!!!"};
    EXPECT_EQ(kitchen.at(0), production);
    EXPECT_EQ(grill.at(0), extra);
    EXPECT_EQ(kitchen.at(1), cancellation);
    EXPECT_EQ(grill.at(1), extraCancellation);
    // A kitchen screen reads the same tickets back into their items, notes and bill.
    const auto card = [](const Ticket& ticket) {
        const KitchenCard read = KitchenCard::FromTicket(ticket, QDateTime::currentDateTime());
        QStringList fields{read.title, read.bill, read.cancellation ? "IPTAL" : ""};
        for (const CardItem& item : read.items)
            fields << item.quantity + '|' + item.name + '|' + item.note;
        return fields;
    };
    EXPECT_EQ(card(production), QStringList({"URETIM FISI", "302", "", "2|Köfte|soğansız",
                                             twelveAndAHalf + "|Pilav|", "1|" + longName + '|'}));
    EXPECT_EQ(card(extra), QStringList({"ÜRETIM FISI", "302", "", "2|Az pişmiş|soğansız"}));
    EXPECT_EQ(card(extraCancellation),
              QStringList({"!!! IPTAL !!!", "302", "IPTAL", oneAndAHalf + "|Az pişmiş|"}));
    EXPECT_TRUE(h.rendered.printers().document(0).drawnTexts().contains(twelveAndAHalf + " Pilav"));
    EXPECT_TRUE(h.rendered.printers().document(0).drawnTexts().join('|').contains(
        "|1   " + longName.left(36) + '|' + longName.mid(36)));

    EXPECT_EQ(h.flags(kofte), QStringLiteral("1/1/1"));
    EXPECT_EQ(h.flags(pilav), QStringLiteral("1/1/0"));
    EXPECT_EQ(h.flags(returned, QStringLiteral("A_AdsIade")), QStringLiteral("1/1/1"));
}

INSTANTIATE_TEST_SUITE_P(DecimalSeparators, KitchenTicketTextTest, ::testing::Values(',', '.'));

TEST_F(KitchenTicketsTest, EachPrinterGetsAndMarksOnlyItsOwnLinesAlsoForCancellations) {
    const QList<qint64> sold{h.db.addSaleLine(302, QStringLiteral("P1"), 1, 10),
                             h.db.addSaleLine(302, QStringLiteral("B1"), 1, 10),
                             h.db.addSaleLine(302, QStringLiteral("P1"), 2, 10),
                             h.db.addSaleLine(302, QStringLiteral("B1"), 3, 10)};
    h.db.queueJob(302, QStringLiteral("0"));
    h.tick();
    EXPECT_EQ(items(h.captured.TicketsFor(QStringLiteral("MUTFAK-1")).value(0)),
              (QStringList{"%+1   Pilav", "%+2   Pilav"}));
    EXPECT_EQ(items(h.captured.TicketsFor(QStringLiteral("BAR-1")).value(0)),
              (QStringList{"%+1   Ayran", "%+3   Ayran"}));
    for (const qint64 line : sold)
        EXPECT_EQ(h.flags(line), QStringLiteral("1/1/0"));

    const qint64 barReturn = h.db.addReturnLine(302, QStringLiteral("B1"), 1, 10);
    const qint64 kitchenReturn = h.db.addReturnLine(302, QStringLiteral("P1"), 1, 10);
    h.db.queueJob(302, QStringLiteral("2"));
    h.tick();
    EXPECT_EQ(items(h.captured.TicketsFor(QStringLiteral("MUTFAK-1")).value(1)),
              (QStringList{"%*1   Pilav", "#!!!!IPTAL!!!"}));
    EXPECT_EQ(items(h.captured.TicketsFor(QStringLiteral("BAR-1")).value(1)),
              (QStringList{"%*1   Ayran", "#!!!!IPTAL!!!"}));
    EXPECT_EQ(h.flags(barReturn, QStringLiteral("A_AdsIade")), QStringLiteral("1/1/0"));
    EXPECT_EQ(h.flags(kitchenReturn, QStringLiteral("A_AdsIade")), QStringLiteral("1/1/0"));
}

TEST_F(KitchenTicketsTest, LinesWithoutAPrinterAreMarkedAndQuantityZeroIsPrinted) {
    const qint64 noPrinter = h.db.addSaleLine(302, QStringLiteral("T1"), 1, 10);
    const qint64 zero = h.db.addSaleLine(302, QStringLiteral("P1"), 0, 0);
    h.db.addSaleLine(302, QStringLiteral("P1"), 1, 10);
    h.db.queueJob(302, QStringLiteral("0"));
    h.tick();
    QStringList production = h.poller.printerLists().production;
    production.sort();
    EXPECT_EQ(production, (QStringList{"", "Mutfak"}));
    EXPECT_EQ(h.captured.paths(), QStringList{"MUTFAK-1"});
    EXPECT_EQ(items(h.captured.printed().at(0).ticket),
              (QStringList{"%+0   Pilav", "%+1   Pilav"}));
    EXPECT_EQ(h.flags(noPrinter), QStringLiteral("1/1/0"));
    EXPECT_EQ(h.flags(zero), QStringLiteral("1/1/0"));
    EXPECT_EQ(h.queued(), 0);
}

TEST_F(KitchenTicketsTest, PrinterNamesDifferingInCaseGiveOneTicket) {
    h.db.addProduct(QStringLiteral("C1"), QStringLiteral("Çorba"), QStringLiteral("MUTFAK"));
    h.addPrinter(QStringLiteral("MUTFAK"), QStringLiteral("MUTFAK-2"));
    const qint64 kofte = h.db.addSaleLine(302, QStringLiteral("K1"), 1, 10);
    const qint64 corba = h.db.addSaleLine(302, QStringLiteral("C1"), 1, 10);
    h.db.queueJob(302, QStringLiteral("0"));
    h.tick();
    ASSERT_EQ(h.poller.printerLists().production.size(), 1);
    EXPECT_EQ(h.poller.printerLists().production.first().toUpper(), QStringLiteral("MUTFAK"));
    const QStringList log = h.logLines();
    EXPECT_TRUE(log.contains("==Mutfak"));
    EXPECT_TRUE(log.contains("==MUTFAK"));
    EXPECT_EQ(log.filter(QStringLiteral("YAZICISI ICIN URETIM")).size(), 1);
    // The one ticket carries both spellings' lines: none is left pending for ever.
    QList<Ticket> kitchen = h.captured.TicketsFor(QStringLiteral("MUTFAK-1"));
    kitchen += h.captured.TicketsFor(QStringLiteral("MUTFAK-2"));
    ASSERT_EQ(kitchen.size(), 1);
    EXPECT_EQ(items(kitchen.at(0)), (QStringList{"%+1   Köfte", "%+1   Çorba"}));
    EXPECT_TRUE(h.flags(kofte).startsWith(QStringLiteral("1/1/")));
    EXPECT_TRUE(h.flags(corba).startsWith(QStringLiteral("1/1/")));
}

TEST_F(KitchenTicketsTest, ApostrophesInDepartmentCodeAndPrinterNameAreQuoted) {
    h.db.exec(QStringLiteral("INSERT INTO DEPARTMAN VALUES ('O''1', 'Bahçe')"));
    h.db.exec(QStringLiteral("INSERT INTO URUNYAZICI VALUES ('K1', 'O''1', 'Chef''s')"));
    h.addPrinter(QStringLiteral("Chef's"), QStringLiteral("CHEF-1"));
    h.db.addBill(303, QStringLiteral("O'1"), QStringLiteral("9"));
    const qint64 line = h.db.addSaleLine(303, QStringLiteral("K1"), 1, 10);
    h.db.queueJob(303, QStringLiteral("0"));
    h.tick();
    EXPECT_EQ(h.poller.printerLists().production, QStringList{"Chef's"});
    EXPECT_EQ(items(h.captured.TicketsFor(QStringLiteral("CHEF-1")).value(0)),
              QStringList{"%+1   Köfte"});
    EXPECT_EQ(h.flags(line), QStringLiteral("1/1/0"));
}

TEST_F(KitchenTicketsTest, TableZhKeepsTheFlagsOpenAndReprintsOnTheExtraPrinter) {
    h.db.addBill(303, QStringLiteral("1"), QStringLiteral("ZH"));
    const qint64 first = h.db.addSaleLine(303, QStringLiteral("K1"), 1, 10);
    h.db.queueJob(303, QStringLiteral("0"));
    h.tick();
    EXPECT_EQ(h.flags(first), QStringLiteral("1/0/0"));
    EXPECT_EQ(h.captured.printed().at(0).ticket.at(5), QStringLiteral("#!")); // no bill note
    EXPECT_EQ(
        h.logLines(),
        (QStringList{">>-303-Uretim Yazicilari--", "==Mutfak", "==EK:Izgara", "+303-Yazici: Mutfak",
                     "303-Mutfak YAZICISI ICIN URETIM", "Mutfak-Mutfak+Izgara+Az pişmiş",
                     "=303-Gonder:MUTFAK-1", "+303-EkYazici: Izgara",
                     "303-Izgara YAZICISI ICIN EK URETIM", "Izgara-Mutfak+Izgara+Az pişmiş",
                     "-303-Köfte", "=303-Gonder:IZGARA-1"}));

    h.db.addSaleLine(303, QStringLiteral("K1"), 2, 10);
    h.db.queueJob(303, QStringLiteral("0"));
    h.tick();
    EXPECT_EQ(items(h.captured.TicketsFor(QStringLiteral("MUTFAK-1")).value(1)),
              QStringList{"%+2   Köfte"});
    EXPECT_EQ(h.captured.TicketsFor(QStringLiteral("IZGARA-1")).value(1).mid(9),
              (QStringList{"%+1   Az pişmiş", ">*", "%+2   Az pişmiş", ">*"}));

    h.db.addBill(304, QStringLiteral("1"), QStringLiteral("ZZH"));
    const qint64 other = h.db.addSaleLine(304, QStringLiteral("K1"), 1, 10);
    h.db.queueJob(304, QStringLiteral("0"));
    h.tick();
    EXPECT_EQ(h.flags(other), QStringLiteral("1/1/1"));
}

TEST(MarkLinesStatement, MarksTheTicketsLinesWithTheFlagOfItsPrinter) {
    EXPECT_EQ(MarkLinesStatement("YAZ", "0", "5", {12, 7}),
              QStringLiteral("UPDATE A_AdsSatir SET SIP=1,YAZ=1 WHERE ID IN (12,7)"));
    EXPECT_EQ(MarkLinesStatement("EKYAZ", "0", "ZH", {3}),
              QStringLiteral("UPDATE A_AdsSatir SET SIP=1,EKYAZ=0 WHERE ID IN (3)"));
    EXPECT_EQ(MarkLinesStatement("EKYAZ", "0", "ZZH", {3}),
              QStringLiteral("UPDATE A_AdsSatir SET SIP=1,EKYAZ=1 WHERE ID IN (3)"));
    EXPECT_EQ(MarkLinesStatement("YAZ", "2", "ZH", {4, 5}),
              QStringLiteral("UPDATE A_AdsIade SET SIP=1,YAZ=1 WHERE ID IN (4,5)"));
}

} // namespace
