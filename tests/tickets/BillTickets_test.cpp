#include "core/RegionalSettings.h"
#include "print/DevicePrinterSource.h"
#include "support/BillJobRunner.h"
#include "support/ExternalTool.h"
#include "support/TestDatabase.h"
#include "support/TicketLines.h"

#include <QDir>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

// Bill 302 of table 5 in the Salon, waiter Ayşe, customer Kara Ltd with a balance of 100.1234:
// four listed lines on sub-accounts 1 and 2, with discount, service and four payments. A line
// still pending and a returned line are never listed.
void SeedBill302(TestDatabase& db) {
    db.exec(QStringLiteral("INSERT INTO DEPARTMAN VALUES ('1', 'Salon')"));
    db.exec(QStringLiteral("INSERT INTO [USER] VALUES ('G1', 'Ayşe')"));
    db.exec(QStringLiteral("INSERT INTO MUSTERI VALUES ('C1', 'Kara Ltd')"));
    db.exec(QStringLiteral("INSERT INTO MUSTISL VALUES ('C1', 300.1234, 0), ('C1', 0, 200)"));
    db.exec(QStringLiteral("INSERT INTO A_Yazicilar VALUES ('Adisyon', 'KASA-1')"));
    db.exec(QStringLiteral("INSERT INTO URUN (KODU, ADI, BIRIM) VALUES ('K1', 'Köfte', 'PORS'), "
                           "('B1', 'Ayran', 'KG'), ('C1', 'Çay', 'BARDAK'), ('S1', 'Su', 'LT')"));
    db.addBill(302, QStringLiteral("1"), QStringLiteral("5"));
    db.exec(QStringLiteral(
        "UPDATE A_Adisyon SET MUSTERIKODU='C1', INDORAN=10, INDTOPLAM=15, SERVISORAN=5, "
        "SERVISTUTAR=7.5, TOPLAM=108, ALAN='ALAN-302', ADISYONNO='EA2026000302', "
        "FaturaNo='FN-77', FaturaETTN='ettn-302', ONAKIT=100, OKK=50.5, OACIK=20, OTICKET=12"));
    db.addSaleLine(302, QStringLiteral("K1"), 2, 100, QStringLiteral("soğansız"), 1);
    db.addSaleLine(302, QStringLiteral("B1"), 1, 15, QString(), 2);
    db.addSaleLine(302, QStringLiteral("C1"), 1, 0, QString(), 2);
    db.addSaleLine(302, QStringLiteral("S1"), 12.5, 0.5, QString(), 1);
    db.exec(QStringLiteral("UPDATE A_AdsSatir SET SIP=1, YAZ=1"));
    db.addSaleLine(302, QStringLiteral("K1"), 1, 50, QString(), 2); // not yet sent
    db.addReturnLine(302, QStringLiteral("B1"), 1, 15);
}

// queueColumns: further columns of the queue row, as "YaziciAdi='G', ...".
void QueueJob(TestDatabase& db, const QString& type, const QString& queueColumns = QString()) {
    const qint64 id = db.queueJob(302, type, QStringLiteral("G1"));
    if (!queueColumns.isEmpty())
        db.exec(
            QStringLiteral("UPDATE A_YazimKuyrugu SET %1 WHERE ID=%2").arg(queueColumns).arg(id));
}

// From the column captions to the grand total; only the discount lines differ between the
// bill and the slips.
Ticket Body302(const char* discount) {
    return Lines("AD. URUN|>-B.FIYAT|=-|2   Köfte|>-100 TL|soğansız|1   Ayran|>-15 TL|1   Çay|"
                 ">-İKRAM  TL|12~5 Su|>-~5 TL|=-|Toplam   : |>-115~5 TL|") +
           Lines(discount) +
           Lines("Servis  : %5|>-7~5 TL|Nakit: |>-100 TL|K.Karti: |>-50~5 TL|Cari: |>-20 TL|"
                 "Ticket: |>-12 TL||#-Genel Toplam:|#-108 TL");
}

const char* const BarcodeFoot302 =
    "=-|@B0000000003025|#-Belge No: 0000000003025|=-|Teşekkür Ederiz|";

// Every golden ticket is checked with a comma and with a point as the decimal separator.
class BillTicketsTest : public ::testing::TestWithParam<char> {
protected:
    BillTicketsTest()
        : m_saved(RegionalSettings::current()) {
        RegionalSettings regional = m_saved;
        regional.decimalSeparator = QLatin1Char(GetParam());
        RegionalSettings::setCurrent(regional);
        SeedBill302(db);
        runner.LoadPrinters();
        runner.options.exchangeRateLine = QStringLiteral("USD: 41.123 - EUR: 47.890");
    }
    ~BillTicketsTest() override { RegionalSettings::setCurrent(m_saved); }

    // The one ticket the job printed, on the bill printer of the Salon.
    Ticket RunAndTakeTicket() {
        runner.Tick();
        const QList<Ticket> printed = runner.printer().TicketsFor(QStringLiteral("KASA-1"));
        EXPECT_EQ(runner.PrintedTickets().size(), 1);
        EXPECT_EQ(printed.size(), 1);
        EXPECT_EQ(db.count(QStringLiteral("A_YazimKuyrugu")), 0);
        return printed.value(0);
    }

    QStringList SettingsInOrder() {
        QStringList keys;
        RecordSet rows =
            db.session().Select(QStringLiteral("SELECT Ayar FROM AYAR ORDER BY rowid"));
        for (rows.First(); !rows.Eof(); rows.Next())
            keys << rows.text(QStringLiteral("Ayar"));
        return keys;
    }

    TestDatabase db;
    BillJobRunner runner{db, {QStringLiteral("KASA-1"), QStringLiteral("KASA-2")}};

private:
    RegionalSettings m_saved;
};

TEST_P(BillTicketsTest, BillWithEverySectionOn) {
    runner.options.customerFlag = true;
    runner.options.printRatesFlag = true;
    QueueJob(db, QStringLiteral("1"));

    ExpectTicket(RunAndTakeTicket(),
                 Lines("#-Kara Ltd|#-No:302||>-#TARIH# #SAAT#|#-Salon - 5 - Ayşe|") +
                     Body302("#-Indirim : %10|#->-15 TL") +
                     Lines("İlk Bakiye:|>-215~62 TL|Kalan Bakiye: |>-100~1234 TL|=-|"
                           "USD: 41.123 - EUR: 47.890|Tesekkur Ederiz|#-MALİ DEĞERİ YOKTUR") +
                     Lines(BarcodeFoot302));
    // The customer's name stands in for the company's, which is then never read.
    EXPECT_EQ(SettingsInOrder(), Lines("Bitis yazisi|Salon Adisyon yazicisi"));
}

TEST_P(BillTicketsTest, BillWithEveryOptionalSectionOff) {
    runner.options.tableInfoFlag = false;
    db.exec(QStringLiteral("INSERT INTO A_Yazicilar VALUES ('Paket', 'KASA-2')"));
    db.exec(QStringLiteral("INSERT INTO AYAR VALUES ('POS', 'Yazdirma', "
                           "'Paket Satış Adisyon yazicisi', 'Paket')"));
    runner.LoadPrinters();
    db.addBill(303, QStringLiteral("20"), QStringLiteral("P1"));
    db.exec(QStringLiteral("UPDATE A_Adisyon SET TOPLAM=45.75, INDORAN=10, SERVISORAN=5, "
                           "INDTOPLAM=0, SERVISTUTAR=0, ONAKIT=0, OKK=-5 WHERE ID=303"));
    db.addSaleLine(303, QStringLiteral("K1"), 3, 45.75);
    db.exec(QStringLiteral("UPDATE A_AdsSatir SET SIP=1, YAZ=1 WHERE FISID=303"));
    db.queueJob(303, QStringLiteral("1"));

    runner.Tick();
    const QList<Ticket> printed = runner.printer().TicketsFor(QStringLiteral("KASA-2"));
    ASSERT_EQ(printed.size(), 1);
    ExpectTicket(printed.first(),
                 Lines("#-Kestrova|#-No:303||>-#TARIH# #SAAT#|AD. URUN|>-B.FIYAT|=-|3   Köfte|"
                       ">-45~75 TL|=-|Toplam   : |>-45~75 TL|||#-Genel Toplam:|#-45~75 TL|=-|"
                       "Tesekkur Ederiz|#-MALİ DEĞERİ YOKTUR|=-|@B0000000003032|"
                       "#-Belge No: 0000000003032|=-|Teşekkür Ederiz|"));
    EXPECT_EQ(SettingsInOrder(), Lines("Paket Satış Adisyon yazicisi|Firma Adi|Bitis yazisi"));
}

TEST_P(BillTicketsTest, WaiterCopyPrintsOnTheBillPrinter) {
    QueueJob(db, QStringLiteral("1"), QStringLiteral("YaziciAdi='G'"));

    ExpectTicket(RunAndTakeTicket(),
                 Lines("#-Kestrova|#-No:302||>-#TARIH# #SAAT#|#-Salon - 5 - Ayşe|"
                       "-- GARSON NUSHASI --") +
                     Body302("#-Indirim : %10|#->-15 TL") +
                     Lines("=-|Tesekkur Ederiz|#-MALİ DEĞERİ YOKTUR") + Lines(BarcodeFoot302));
    EXPECT_EQ(SettingsInOrder(), Lines("Firma Adi|Bitis yazisi|Salon Adisyon yazicisi"));
}

TEST_P(BillTicketsTest, SplitBillListsOnlyItsSubAccount) {
    runner.options.printRatesFlag = true;
    // Another printer named on the job changes nothing for a split bill.
    QueueJob(db, QStringLiteral("3"),
             QStringLiteral("YaziciAdi='Bar', ParcaliHesap=2, ParcaliTur='Kişi'"));

    ExpectTicket(RunAndTakeTicket(),
                 Lines("#-Kestrova||>-#TARIH# #SAAT#|Ads No: 302|Salon - 5 - Ayşe||"
                       "Hesap : 2, Kişi|AD. BIRIM URUN|>-TUTAR|=-|1   KG    Ayran|>-15 TL|"
                       "1   BARDAK Çay|>- TL|=-|Toplam   : |>-15 TL||Indirim : %10|>-15 TL|"
                       "Servis  : %5|>-7~5 TL||#-Genel Toplam :||=-|||"
                       "USD: 41.123 - EUR: 47.890|#-Tesekkur Ederiz|."));
    EXPECT_TRUE(runner.A.filter().isEmpty());
    EXPECT_EQ(runner.A.recordCount(), 4);
}

TEST_P(BillTicketsTest, EadisyonSlip) {
    runner.options.printRatesFlag = true; // never on a slip
    QueueJob(db, QStringLiteral("4"));

    ExpectTicket(RunAndTakeTicket(),
                 Lines("|#-Kestrova|#-Eadisyon Bilgi Fişi|#-Fiş No:302|ETTN:|ALAN-302|"
                       "Eadisyon No:EA2026000302||>-#TARIH# #SAAT#|Salon - 5 - Ayşe|") +
                     Body302("Indirim : %10|>-15 TL") + Lines("=-|#-MALİ DEĞERİ YOKTUR|"));
    EXPECT_EQ(SettingsInOrder(), Lines("Firma Adi|Salon Adisyon yazicisi"));
}

TEST_P(BillTicketsTest, PosAccountSlip) {
    QueueJob(db, QStringLiteral("5"), QStringLiteral("YaziciAdi='G'"));

    ExpectTicket(RunAndTakeTicket(),
                 Lines("|#-Kestrova|=-|#-POS HESAP FİŞİ|Fiş No:302|FaturaETTN:|ettn-302|"
                       "FaturaNo:FN-77||>-#TARIH# #SAAT#|Salon - 5 - Ayşe|-- GARSON NUSHASI --") +
                     Body302("Indirim : %10|>-15 TL") +
                     Lines("=-|Pos Bilgi fişi|#-MALİ DEĞERİ YOKTUR|"));
}

INSTANTIATE_TEST_SUITE_P(DecimalSeparators, BillTicketsTest, ::testing::Values(',', '.'),
                         [](const ::testing::TestParamInfo<char>& param) {
                             return param.param == ',' ? std::string("Comma")
                                                       : std::string("Point");
                         });

TEST(BillOnPdfPrinter, BarcodeScansAndDocumentNumberReads) {
    TestDatabase db;
    SeedBill302(db);
    QTemporaryDir dir;
    db.exec(QStringLiteral("UPDATE A_Yazicilar SET Yol='pdf:%1'").arg(dir.filePath("kasa")));
    DevicePrinterSource pdfPrinters(dir.path());
    BillJobRunner runner(db, pdfPrinters);
    runner.LoadPrinters();
    QueueJob(db, QStringLiteral("1"));

    runner.Tick();
    const QStringList files = QDir(dir.filePath("kasa")).entryList(QDir::Files);
    ASSERT_EQ(files.size(), 1);
    const QString pdf = dir.filePath(QStringLiteral("kasa/") + files.first());

#ifndef Q_OS_WIN // poppler and zbar are Linux programs
    const ToolRun text =
        RunTool(QStringLiteral("pdftotext"), {QStringLiteral("-layout"), pdf, QStringLiteral("-")});
    EXPECT_TRUE(text.output.contains(QStringLiteral("Belge No: 0000000003025")))
        << text.output.toStdString() << text.errors.toStdString();
    const QString image = dir.filePath(QStringLiteral("bill"));
    ASSERT_EQ(RunTool(QStringLiteral("pdftoppm"),
                      {QStringLiteral("-r"), QStringLiteral("203"), QStringLiteral("-png"),
                       QStringLiteral("-singlefile"), pdf, image})
                  .exitCode,
              0);
    const ToolRun scan = RunTool(QStringLiteral("zbarimg"),
                                 {QStringLiteral("--quiet"), image + QStringLiteral(".png")});
    EXPECT_EQ(scan.output.trimmed(), QStringLiteral("CODE-39:0000000003025"))
        << scan.errors.toStdString();
#endif
}

} // namespace
