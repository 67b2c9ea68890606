#include "core/Error.h"
#include "core/RegionalSettings.h"
#include "support/BillJobRunner.h"
#include "support/TestDatabase.h"
#include "support/TicketLines.h"
#include "tickets/TicketBuilders.h"

#include <QFile>
#include <gtest/gtest.h>
#include <tuple>

namespace {

// A Salon with one bill printer; each test seeds the bills it needs, all with a comma as the
// decimal separator.
class BillEdgeCasesTest : public ::testing::Test {
protected:
    BillEdgeCasesTest()
        : m_saved(RegionalSettings::current()) {
        RegionalSettings regional = m_saved;
        regional.decimalSeparator = QLatin1Char(',');
        RegionalSettings::setCurrent(regional);
        db.exec(QStringLiteral("INSERT INTO DEPARTMAN VALUES ('1', 'Salon')"));
        db.exec(QStringLiteral("INSERT INTO A_Yazicilar VALUES ('Adisyon', 'KASA-1')"));
        db.addProduct(QStringLiteral("K1"), QStringLiteral("Köfte"), QStringLiteral("Mutfak"));
        runner.LoadPrinters();
    }
    ~BillEdgeCasesTest() override { RegionalSettings::setCurrent(m_saved); }

    // A bill of table 5 with the given bill columns ("TOPLAM=10, ...").
    void Bill(qint64 id, const QString& columns = QString()) {
        db.addBill(id, QStringLiteral("1"), QStringLiteral("5"));
        if (!columns.isEmpty())
            db.exec(QStringLiteral("UPDATE A_Adisyon SET %1 WHERE ID=%2").arg(columns).arg(id));
    }
    // A line that has gone to the kitchen and onto the bill.
    void Line(qint64 billId, double quantity, double amount, const QString& note = QString(),
              int subAccount = 0) {
        const qint64 id =
            db.addSaleLine(billId, QStringLiteral("K1"), quantity, amount, note, subAccount);
        db.exec(QStringLiteral("UPDATE A_AdsSatir SET SIP=1, YAZ=1 WHERE ID=%1").arg(id));
    }
    // Queues the job, runs one tick and gives what it printed.
    QList<Ticket> Run(const QString& type, qint64 billId, const QString& queueColumns = QString()) {
        const qint64 job = db.queueJob(billId, type);
        if (!queueColumns.isEmpty())
            db.exec(QStringLiteral("UPDATE A_YazimKuyrugu SET %1 WHERE ID=%2")
                        .arg(queueColumns)
                        .arg(job));
        const qsizetype before = runner.PrintedTickets().size();
        runner.Tick();
        // A failing builder would leave its job queued and print nothing.
        EXPECT_EQ(db.count(QStringLiteral("A_YazimKuyrugu")), 0);
        return runner.PrintedTickets().mid(before);
    }
    Ticket RunOne(const QString& type, qint64 billId, const QString& queueColumns = QString()) {
        const QList<Ticket> printed = Run(type, billId, queueColumns);
        EXPECT_EQ(printed.size(), 1);
        return printed.value(0);
    }

    TestDatabase db;
    BillJobRunner runner{db};

private:
    RegionalSettings m_saved;
};

QStringList TableRows(TestDatabase& db, const QString& table) {
    QStringList rows;
    RecordSet records = db.session().Select(QStringLiteral("SELECT * FROM ") + table);
    for (records.First(); !records.Eof(); records.Next()) {
        QStringList values;
        for (const QString& column : records.columns())
            values << records.value(column).toString();
        rows << values.join(QLatin1Char('|'));
    }
    return rows;
}

TEST_F(BillEdgeCasesTest, LinesKeepSignsAndNotesStayAsWritten) {
    Bill(310);
    Line(310, 1, -12.5, QStringLiteral(""));
    Line(310, 2, 10, QStringLiteral("#-acil"));

    EXPECT_TRUE(HasLines(RunOne(QStringLiteral("4"), 310),
                         Lines("=-|1   Köfte|>--12,5 TL|2   Köfte|>-10 TL|\u200B#-acil|=-|"
                               "Toplam   : |>--2,5 TL")));
    // A note that looks like markup is marked to print as written, in the base size.
    bool noteDrawn = false;
    for (const DrawnText& text : runner.printer().printers().document(0).texts)
        noteDrawn |= text.text == QLatin1String("#-acil") && text.size != 14;
    EXPECT_TRUE(noteDrawn);
}

TEST_F(BillEdgeCasesTest, DiscountWithoutRateIsFollowedByARuleAndServiceRateIsNotTested) {
    Bill(310, QStringLiteral("INDTOPLAM=15, INDORAN=0, SERVISTUTAR=3"));
    Bill(311, QStringLiteral("INDTOPLAM=15, INDORAN=NULL"));
    Line(310, 1, 40);
    Line(311, 1, 40);

    for (const qint64 bill : {310, 311}) {
        EXPECT_TRUE(
            HasLines(RunOne(QStringLiteral("1"), bill), Lines("|#-Indirim : |#->-15 TL|=-")));
        EXPECT_TRUE(HasLines(RunOne(QStringLiteral("5"), bill), Lines("|Indirim : |>-15 TL|=-")));
    }
    EXPECT_TRUE(HasLines(RunOne(QStringLiteral("4"), 310),
                         Lines("=-|Servis  : %|>-3 TL||#-Genel Toplam:")));
}

TEST_F(BillEdgeCasesTest, BillWithoutLinesPrintsWholeWithAnUnknownCustomer) {
    runner.options.customerFlag = true;
    Bill(310, QStringLiteral("MUSTERIKODU='C1', ONAKIT=100"));
    db.exec(QStringLiteral("INSERT INTO MUSTERI VALUES ('C1', 'Kara Ltd')"));

    ExpectTicket(RunOne(QStringLiteral("1"), 310),
                 Lines("#-|#-No:310||>-#TARIH# #SAAT#|#-Salon - 5 - ||AD. URUN|>-B.FIYAT|=-|=-|"
                       "Toplam   : |>- TL|||#-Genel Toplam:|#- TL|İlk Bakiye:|>- TL|"
                       "Kalan Bakiye: |>-0 TL|=-|Tesekkur Ederiz|#-MALİ DEĞERİ YOKTUR|=-|"
                       "@B0000000003100|#-Belge No: 0000000003100|=-|Teşekkür Ederiz|"));
}

TEST_F(BillEdgeCasesTest, NegativeAndMissingCustomerBalances) {
    runner.options.customerFlag = true;
    db.exec(QStringLiteral("INSERT INTO MUSTERI VALUES ('A''1', 'Borçlu'), ('B2', 'Yeni')"));
    db.exec(QStringLiteral("INSERT INTO MUSTISL VALUES ('A''1', 10, 60.25)"));
    Bill(310, QStringLiteral("MUSTERIKODU='A''1'"));
    Bill(311, QStringLiteral("MUSTERIKODU='B2'"));
    Line(310, 1, 40);
    Line(311, 1, 40);

    const Ticket indebted = RunOne(QStringLiteral("1"), 310);
    EXPECT_EQ(indebted.first(), QStringLiteral("#-Borçlu"));
    EXPECT_TRUE(HasLines(indebted, Lines("İlk Bakiye:|>--10,25 TL|Kalan Bakiye: |>--50,25 TL")));
    const Ticket withoutTransactions = RunOne(QStringLiteral("1"), 311);
    EXPECT_EQ(withoutTransactions.first(), QStringLiteral("#-Yeni"));
    EXPECT_TRUE(HasLines(withoutTransactions, Lines("İlk Bakiye:|>-40 TL|Kalan Bakiye: |>-0 TL")));
}

TEST_F(BillEdgeCasesTest, OnlyAnEmptyOrWaiterPrinterNameKeepsTheBillPrinter) {
    Bill(310);
    Line(310, 1, 40, QString(), 1);
    for (const QString& type : {QStringLiteral("1"), QStringLiteral("4"), QStringLiteral("5")}) {
        EXPECT_TRUE(Run(type, 310, QStringLiteral("YaziciAdi='g'")).isEmpty())
            << type.toStdString();
        EXPECT_TRUE(Run(type, 310, QStringLiteral("YaziciAdi='Adisyon'")).isEmpty());
    }
    // The setting is read and created all the same; the split bill ignores the job's name.
    EXPECT_EQ(db.count(QStringLiteral("AYAR"),
                       QStringLiteral("Ayar='Salon Adisyon yazicisi' AND Deger='Adisyon'")),
              1);
    EXPECT_EQ(Run(QStringLiteral("3"), 310, QStringLiteral("YaziciAdi='g', ParcaliHesap=1")).size(),
              1);

    // A printer the registry does not know prints nothing and reports nothing.
    db.exec(QStringLiteral("UPDATE AYAR SET Deger='Yok' WHERE Ayar='Salon Adisyon yazicisi'"));
    EXPECT_TRUE(Run(QStringLiteral("1"), 310).isEmpty());
    EXPECT_FALSE(QFile::exists(runner.context().log.filePath()));
}

TEST_F(BillEdgeCasesTest, RunningTotalIsExactlyTheSumOfTheLines) {
    Bill(310);
    db.exec(QStringLiteral(
        "WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < 3000) "
        "INSERT INTO A_AdsSatir (FISID, URUNKODU, ADET, TUTAR, SIP, YAZ) "
        "SELECT 310, 'K1', 1, 0.1, 1, 1 FROM n"));

    // In double precision the 3000 lines would come to 300.
    EXPECT_TRUE(HasLines(RunOne(QStringLiteral("1"), 310), Lines("Toplam   : |>-300 TL")));

    // The total rounds as its line does, the opening balance starts from it.
    runner.options.customerFlag = true;
    for (const auto& [bill, amount, tenths, text] : {std::tuple(311, 1.005, 0, "1~01"),
                                                     {312, 2.675, 0, "2~68"},
                                                     {313, 1234567.89, 0, "1234567~89"},
                                                     {314, 100000.0, 10, "100001"}}) {
        Bill(bill);
        Line(bill, 1, amount);
        for (int i = 0; i < tenths; ++i)
            Line(bill, 1, 0.1);
        for (const char separator : {',', '.'}) {
            RegionalSettings::setCurrent({QLatin1Char(separator)});
            const Ticket total = Lines("Toplam   : ") << Lines(text).first().prepend(">-") + " TL";
            EXPECT_TRUE(HasLines(RunOne(QStringLiteral("1"), bill), total));
            EXPECT_TRUE(HasLines(RunOne(QStringLiteral("1"), bill), {"İlk Bakiye:", total.last()}));
            EXPECT_TRUE(HasLines(RunOne(QStringLiteral("3"), bill, "ParcaliHesap=0"), total));
        }
    }
}

TEST_F(BillEdgeCasesTest, FailedRatesDownloadLeavesAnEmptyLine) {
    runner.options.printRatesFlag = true;
    Bill(310);
    Line(310, 1, 40, QString(), 1);

    EXPECT_TRUE(HasLines(RunOne(QStringLiteral("1"), 310),
                         Lines("=-||Tesekkur Ederiz|#-MALİ DEĞERİ YOKTUR")));
    const Ticket split = RunOne(QStringLiteral("3"), 310, QStringLiteral("ParcaliHesap=1"));
    EXPECT_EQ(split.mid(split.size() - 6), Lines("=-||||#-Tesekkur Ederiz|."));
}

TEST_F(BillEdgeCasesTest, SubAccountThatIsNoWholeNumberListsNothing) {
    Bill(310);
    Line(310, 1, 40, QString(), 2);
    Line(310, 1, 50, QString(), 3);

    EXPECT_TRUE(HasLines(RunOne(QStringLiteral("3"), 310, QStringLiteral("ParcaliHesap=2.5")),
                         Lines(">-TUTAR|=-|=-|Toplam   : |>- TL")));
    EXPECT_TRUE(runner.A.filter().isEmpty());
}

TEST_F(BillEdgeCasesTest, SubAccountFilterIsLiftedWhenTheSplitBillFails) {
    Bill(310);
    Line(310, 1, 40, QString(), 2);
    Line(310, 1, 50, QString(), 3);
    runner.job.ParcaliHesap = QStringLiteral("2");
    // Lines without the unit column: reading the first listed line fails.
    runner.A.setSql(QStringLiteral("SELECT H, ADET, TUTAR, URUNKODU AS ADI FROM A_AdsSatir"));
    runner.A.Open();

    EXPECT_THROW(BuildSplitBillTicket(runner.context()), DatabaseError);
    EXPECT_TRUE(runner.A.filter().isEmpty());
    EXPECT_EQ(runner.A.recordCount(), 2);
}

TEST_F(BillEdgeCasesTest, BuildersWriteNothingToTheBillTables) {
    runner.options.customerFlag = true;
    Bill(310, QStringLiteral("MUSTERIKODU='C1', ONAKIT=40"));
    Line(310, 1, 40, QStringLiteral("not"), 1);
    db.addSaleLine(310, QStringLiteral("K1"), 1, 5); // pending, left alone
    db.addReturnLine(310, QStringLiteral("K1"), 1, 5);
    const QStringList tables{QStringLiteral("A_Adisyon"), QStringLiteral("A_AdsSatir"),
                             QStringLiteral("A_AdsIade")};
    QList<QStringList> before;
    for (const QString& table : tables)
        before << TableRows(db, table);

    for (const QString& type :
         {QStringLiteral("1"), QStringLiteral("3"), QStringLiteral("4"), QStringLiteral("5")})
        RunOne(type, 310, QStringLiteral("ParcaliHesap=1"));

    for (qsizetype i = 0; i < tables.size(); ++i)
        EXPECT_EQ(TableRows(db, tables.at(i)), before.at(i)) << tables.at(i).toStdString();
}

TEST_F(BillEdgeCasesTest, SlipHeadsWithoutInvoiceOrTableInformation) {
    runner.options.tableInfoFlag = false;
    Bill(310, QStringLiteral("ALAN='#-X'"));

    EXPECT_EQ(RunOne(QStringLiteral("5"), 310).mid(4, 7),
              Lines("Fiş No:310|FaturaETTN:||FaturaNo:||>-#TARIH# #SAAT#|AD. URUN"));
    EXPECT_EQ(RunOne(QStringLiteral("4"), 310).mid(4, 6),
              Lines("ETTN:|\u200B#-X|Eadisyon No:||>-#TARIH# #SAAT#|AD. URUN"));
}

} // namespace
