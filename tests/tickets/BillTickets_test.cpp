#include "config/RegionalSettings.h"
#include "print/DevicePrinterSource.h"
#include "support/BillJobRunner.h"
#include "support/ExternalTool.h"
#include "support/TestDatabase.h"

#include <QDir>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

// Bill 302 of table 5 in the Salon, waiter Ayşe, customer Kara Ltd with a balance of 100.1234:
// four listed lines on sub-accounts 1 and 2, with discount, service and four payments. A line
// still pending and a returned line are never listed.
void SeedBill302(TestDatabase& db) {
    db.exec(QStringLiteral("PRAGMA synchronous=OFF")); // a throw-away file: no waiting for the disk
    db.exec(QStringLiteral("INSERT INTO DEPARTMAN VALUES ('1', 'Salon')"));
    db.exec(QStringLiteral("INSERT INTO [USER] VALUES ('G1', 'Ayşe')"));
    db.exec(QStringLiteral("INSERT INTO MUSTERI VALUES ('C1', 'Kara Ltd')"));
    db.exec(QStringLiteral("INSERT INTO MUSTISL VALUES ('C1', 300.1234, 0), ('C1', 0, 200)"));
    db.exec(QStringLiteral("INSERT INTO A_Yazicilar VALUES ('Adisyon', 'KASA-1')"));
    db.addProduct(QStringLiteral("K1"), QStringLiteral("Köfte"), QStringLiteral("Mutfak"),
                  QStringLiteral("PORS"));
    db.addProduct(QStringLiteral("B1"), QStringLiteral("Ayran"), QStringLiteral("Bar"),
                  QStringLiteral("KG"));
    db.addProduct(QStringLiteral("C1"), QStringLiteral("Çay"), QStringLiteral("Bar"),
                  QStringLiteral("BARDAK"));
    db.addProduct(QStringLiteral("S1"), QStringLiteral("Su"), QStringLiteral("Bar"),
                  QStringLiteral("LT"));
    db.addBill(302, QStringLiteral("1"), QStringLiteral("5"));
    db.exec(QStringLiteral(
        "UPDATE A_Adisyon SET MUSTERIKODU='C1', INDORAN=10, INDTOPLAM=15, SERVISORAN=5, "
        "SERVISTUTAR=7.5, TOPLAM=108, ALAN='ALAN-302', ADISYONNO='EA2026000302', "
        "FaturaNo='FN-77', FaturaETTN='ettn-302', ONAKIT=100, OKK=50.5, OACIK=20, OTICKET=12 "
        "WHERE ID=302"));
    db.addSaleLine(302, QStringLiteral("K1"), 2, 100, QStringLiteral("soğansız"), 1);
    db.addSaleLine(302, QStringLiteral("B1"), 1, 15, QString(), 2);
    db.addSaleLine(302, QStringLiteral("C1"), 1, 0, QString(), 2);
    db.addSaleLine(302, QStringLiteral("S1"), 12.5, 0.5, QString(), 1);
    db.exec(QStringLiteral("UPDATE A_AdsSatir SET SIP=1, YAZ=1"));
    db.addSaleLine(302, QStringLiteral("K1"), 1, 50, QString(), 2); // not yet sent
    db.addReturnLine(302, QStringLiteral("B1"), 1, 15);
}

void QueueJob(TestDatabase& db, const QString& type, const QString& printer = QString(),
              int subAccount = 0, const QString& splitKind = QString()) {
    const qint64 id = db.queueJob(302, type, QStringLiteral("G1"));
    db.exec(QStringLiteral("UPDATE A_YazimKuyrugu SET YaziciAdi=%1, ParcaliHesap=%2, "
                           "ParcaliTur='%3' WHERE ID=%4")
                .arg(printer.isNull() ? QStringLiteral("NULL")
                                      : QLatin1Char('\'') + printer + QLatin1Char('\''))
                .arg(subAccount)
                .arg(splitKind)
                .arg(id));
}

void ExpectTicket(const Ticket& actual, const Ticket& expected) {
    for (qsizetype i = 0; i < qMin(actual.size(), expected.size()); ++i)
        EXPECT_EQ(actual.at(i).toStdString(), expected.at(i).toStdString()) << "line " << i + 1;
    ASSERT_EQ(actual.size(), expected.size()) << actual.join(QLatin1Char('|')).toStdString();
}

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

    // A number as the regional settings write it.
    static QString n(const char* number) {
        return QString::fromLatin1(number).replace(QLatin1Char('.'), QLatin1Char(GetParam()));
    }

    // The one ticket the job printed on the bill printer of the Salon.
    Ticket RunAndTakeTicket() {
        runner.Tick();
        const QList<Ticket> printed = runner.printer().TicketsFor(QStringLiteral("KASA-1"));
        EXPECT_EQ(runner.PrintedTickets().size(), 1);
        EXPECT_EQ(printed.size(), 1);
        EXPECT_EQ(db.count(QStringLiteral("A_YazimKuyrugu")), 0);
        return printed.value(0);
    }

    // From the column captions to the grand total; the bill sets the discount as headings.
    Ticket Body302(const QString& discountPrefix) const {
        return {QStringLiteral("AD. URUN"),
                QStringLiteral(">-B.FIYAT"),
                QStringLiteral("=-"),
                QStringLiteral("2   Köfte"),
                QStringLiteral(">-100 TL"),
                QStringLiteral("soğansız"),
                QStringLiteral("1   Ayran"),
                QStringLiteral(">-15 TL"),
                QStringLiteral("1   Çay"),
                QStringLiteral(">-İKRAM  TL"),
                n("12.5") + QStringLiteral(" Su"),
                QStringLiteral(">-") + n(".5") + QStringLiteral(" TL"),
                QStringLiteral("=-"),
                QStringLiteral("Toplam   : "),
                QStringLiteral(">-") + n("115.5") + QStringLiteral(" TL"),
                QString(),
                discountPrefix + QStringLiteral("Indirim : %10"),
                discountPrefix + QStringLiteral(">-15 TL"),
                QStringLiteral("Servis  : %5"),
                QStringLiteral(">-") + n("7.5") + QStringLiteral(" TL"),
                QStringLiteral("Nakit: "),
                QStringLiteral(">-100 TL"),
                QStringLiteral("K.Karti: "),
                QStringLiteral(">-") + n("50.5") + QStringLiteral(" TL"),
                QStringLiteral("Cari: "),
                QStringLiteral(">-20 TL"),
                QStringLiteral("Ticket: "),
                QStringLiteral(">-12 TL"),
                QString(),
                QStringLiteral("#-Genel Toplam:"),
                QStringLiteral("#-108 TL")};
    }

    static Ticket BarcodeFoot302() {
        return {QStringLiteral("=-"),
                QStringLiteral("@B0000000003025"),
                QStringLiteral("#-Belge No: 0000000003025"),
                QStringLiteral("=-"),
                QStringLiteral("Teşekkür Ederiz"),
                QString()};
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

    Ticket expected{
        QStringLiteral("#-Kara Ltd"),       QStringLiteral("#-No:302"),           QString(),
        QStringLiteral(">-#TARIH# #SAAT#"), QStringLiteral("#-Salon - 5 - Ayşe"), QString()};
    expected << Body302(QStringLiteral("#-"))
             << QStringList{QStringLiteral("İlk Bakiye:"),
                            QStringLiteral(">-") + n("215.62") + QStringLiteral(" TL"),
                            QStringLiteral("Kalan Bakiye: "),
                            QStringLiteral(">-") + n("100.1234") + QStringLiteral(" TL"),
                            QStringLiteral("=-"),
                            QStringLiteral("USD: 41.123 - EUR: 47.890"),
                            QStringLiteral("Tesekkur Ederiz"),
                            QStringLiteral("#-MALİ DEĞERİ YOKTUR")}
             << BarcodeFoot302();
    ExpectTicket(RunAndTakeTicket(), expected);
    // The customer's name stands in for the company's, which is then never read.
    EXPECT_EQ(SettingsInOrder(), QStringList({QStringLiteral("Bitis yazisi"),
                                              QStringLiteral("Salon Adisyon yazicisi")}));
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
    ExpectTicket(printed.first(), {QStringLiteral("#-Kestrova"),
                                   QStringLiteral("#-No:303"),
                                   QString(),
                                   QStringLiteral(">-#TARIH# #SAAT#"),
                                   QStringLiteral("AD. URUN"),
                                   QStringLiteral(">-B.FIYAT"),
                                   QStringLiteral("=-"),
                                   QStringLiteral("3   Köfte"),
                                   QStringLiteral(">-") + n("45.75") + QStringLiteral(" TL"),
                                   QStringLiteral("=-"),
                                   QStringLiteral("Toplam   : "),
                                   QStringLiteral(">-") + n("45.75") + QStringLiteral(" TL"),
                                   QString(),
                                   QString(),
                                   QStringLiteral("#-Genel Toplam:"),
                                   QStringLiteral("#-") + n("45.75") + QStringLiteral(" TL"),
                                   QStringLiteral("=-"),
                                   QStringLiteral("Tesekkur Ederiz"),
                                   QStringLiteral("#-MALİ DEĞERİ YOKTUR"),
                                   QStringLiteral("=-"),
                                   QStringLiteral("@B0000000003032"),
                                   QStringLiteral("#-Belge No: 0000000003032"),
                                   QStringLiteral("=-"),
                                   QStringLiteral("Teşekkür Ederiz"),
                                   QString()});
    EXPECT_EQ(SettingsInOrder(),
              QStringList({QStringLiteral("Paket Satış Adisyon yazicisi"),
                           QStringLiteral("Firma Adi"), QStringLiteral("Bitis yazisi")}));
}

TEST_P(BillTicketsTest, WaiterCopyPrintsOnTheBillPrinter) {
    QueueJob(db, QStringLiteral("1"), QStringLiteral("G"));

    Ticket expected{QStringLiteral("#-Kestrova"),
                    QStringLiteral("#-No:302"),
                    QString(),
                    QStringLiteral(">-#TARIH# #SAAT#"),
                    QStringLiteral("#-Salon - 5 - Ayşe"),
                    QStringLiteral("-- GARSON NUSHASI --")};
    expected << Body302(QStringLiteral("#-"))
             << QStringList{QStringLiteral("=-"), QStringLiteral("Tesekkur Ederiz"),
                            QStringLiteral("#-MALİ DEĞERİ YOKTUR")}
             << BarcodeFoot302();
    ExpectTicket(RunAndTakeTicket(), expected);
    EXPECT_EQ(SettingsInOrder(),
              QStringList({QStringLiteral("Firma Adi"), QStringLiteral("Bitis yazisi"),
                           QStringLiteral("Salon Adisyon yazicisi")}));
}

TEST_P(BillTicketsTest, SplitBillListsOnlyItsSubAccount) {
    runner.options.printRatesFlag = true;
    // Another printer named on the job changes nothing for a split bill.
    QueueJob(db, QStringLiteral("3"), QStringLiteral("Bar"), 2, QStringLiteral("Kişi"));

    ExpectTicket(RunAndTakeTicket(), {QStringLiteral("#-Kestrova"),
                                      QString(),
                                      QStringLiteral(">-#TARIH# #SAAT#"),
                                      QStringLiteral("Ads No: 302"),
                                      QStringLiteral("Salon - 5 - Ayşe"),
                                      QString(),
                                      QStringLiteral("Hesap : 2, Kişi"),
                                      QStringLiteral("AD. BIRIM URUN"),
                                      QStringLiteral(">-TUTAR"),
                                      QStringLiteral("=-"),
                                      QStringLiteral("1   KG    Ayran"),
                                      QStringLiteral(">-15 TL"),
                                      QStringLiteral("1   BARDAK Çay"),
                                      QStringLiteral(">- TL"),
                                      QStringLiteral("=-"),
                                      QStringLiteral("Toplam   : "),
                                      QStringLiteral(">-15 TL"),
                                      QString(),
                                      QStringLiteral("Indirim : %10"),
                                      QStringLiteral(">-15 TL"),
                                      QStringLiteral("Servis  : %5"),
                                      QStringLiteral(">-") + n("7.5") + QStringLiteral(" TL"),
                                      QString(),
                                      QStringLiteral("#-Genel Toplam :"),
                                      QString(),
                                      QStringLiteral("=-"),
                                      QString(),
                                      QString(),
                                      QStringLiteral("USD: 41.123 - EUR: 47.890"),
                                      QStringLiteral("#-Tesekkur Ederiz"),
                                      QStringLiteral(".")});
    EXPECT_TRUE(runner.A.filter().isEmpty());
    EXPECT_EQ(runner.A.recordCount(), 4);
}

TEST_P(BillTicketsTest, EadisyonSlip) {
    runner.options.printRatesFlag = true; // never on a slip
    QueueJob(db, QStringLiteral("4"));

    Ticket expected{QString(),
                    QStringLiteral("#-Kestrova"),
                    QStringLiteral("#-Eadisyon Bilgi Fişi"),
                    QStringLiteral("#-Fiş No:302"),
                    QStringLiteral("ETTN:"),
                    QStringLiteral("ALAN-302"),
                    QStringLiteral("Eadisyon No:EA2026000302"),
                    QString(),
                    QStringLiteral(">-#TARIH# #SAAT#"),
                    QStringLiteral("Salon - 5 - Ayşe"),
                    QString()};
    expected << Body302(QString()) << QStringLiteral("=-") << QStringLiteral("#-MALİ DEĞERİ YOKTUR")
             << QString();
    ExpectTicket(RunAndTakeTicket(), expected);
    EXPECT_EQ(SettingsInOrder(),
              QStringList({QStringLiteral("Firma Adi"), QStringLiteral("Salon Adisyon yazicisi")}));
}

TEST_P(BillTicketsTest, PosAccountSlip) {
    QueueJob(db, QStringLiteral("5"), QStringLiteral("G"));

    Ticket expected{QString(),
                    QStringLiteral("#-Kestrova"),
                    QStringLiteral("=-"),
                    QStringLiteral("#-POS HESAP FİŞİ"),
                    QStringLiteral("Fiş No:302"),
                    QStringLiteral("FaturaETTN:"),
                    QStringLiteral("ettn-302"),
                    QStringLiteral("FaturaNo:FN-77"),
                    QString(),
                    QStringLiteral(">-#TARIH# #SAAT#"),
                    QStringLiteral("Salon - 5 - Ayşe"),
                    QStringLiteral("-- GARSON NUSHASI --")};
    expected << Body302(QString()) << QStringLiteral("=-") << QStringLiteral("Pos Bilgi fişi")
             << QStringLiteral("#-MALİ DEĞERİ YOKTUR") << QString();
    ExpectTicket(RunAndTakeTicket(), expected);
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
}

} // namespace
