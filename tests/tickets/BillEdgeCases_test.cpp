#include "config/RegionalSettings.h"
#include "log/Error.h"
#include "support/BillJobRunner.h"
#include "support/TestDatabase.h"
#include "tickets/TicketBuilders.h"

#include <QFile>
#include <gtest/gtest.h>

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
        db.exec(QStringLiteral("PRAGMA synchronous=OFF"));
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

// The lines stand one after another somewhere in the ticket.
::testing::AssertionResult HasLines(const Ticket& ticket, const QStringList& lines) {
    for (qsizetype i = 0; i + lines.size() <= ticket.size(); ++i) {
        if (ticket.mid(i, lines.size()) == lines)
            return ::testing::AssertionSuccess();
    }
    return ::testing::AssertionFailure() << lines.join(QLatin1Char('|')).toStdString() << " not in "
                                         << ticket.join(QLatin1Char('|')).toStdString();
}

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

    const Ticket slip = RunOne(QStringLiteral("4"), 310);
    EXPECT_TRUE(HasLines(slip, {QStringLiteral("1   Köfte"), QStringLiteral(">--12,5 TL"),
                                QStringLiteral("2   Köfte"), QStringLiteral(">-10 TL"),
                                QStringLiteral("#-acil"), QStringLiteral("=-"),
                                QStringLiteral("Toplam   : "), QStringLiteral(">--2,5 TL")}));
    // A note in markup is rendered by its prefix: a centred heading.
    bool headingDrawn = false;
    for (const DrawnText& text : runner.printer().printers().document(0).texts)
        headingDrawn |= text.text == QLatin1String("acil") && text.size == 14;
    EXPECT_TRUE(headingDrawn);
}

TEST_F(BillEdgeCasesTest, DiscountWithoutRateIsFollowedByARuleAndServiceRateIsNotTested) {
    Bill(310, QStringLiteral("INDTOPLAM=15, INDORAN=0, SERVISTUTAR=3"));
    Bill(311, QStringLiteral("INDTOPLAM=15, INDORAN=NULL"));
    Line(310, 1, 40);
    Line(311, 1, 40);

    for (const qint64 bill : {310, 311}) {
        EXPECT_TRUE(HasLines(
            RunOne(QStringLiteral("1"), bill),
            {QStringLiteral("#-Indirim : "), QStringLiteral("#->-15 TL"), QStringLiteral("=-")}));
        EXPECT_TRUE(HasLines(RunOne(QStringLiteral("5"), bill),
                             {QString(), QStringLiteral("Indirim : "), QStringLiteral(">-15 TL"),
                              QStringLiteral("=-")}));
    }
    EXPECT_TRUE(HasLines(RunOne(QStringLiteral("4"), 310),
                         {QStringLiteral("=-"), QStringLiteral("Servis  : %"),
                          QStringLiteral(">-3 TL"), QString(), QStringLiteral("#-Genel Toplam:")}));
}

TEST_F(BillEdgeCasesTest, BillWithoutLinesPrintsWholeWithAnUnknownCustomer) {
    runner.options.customerFlag = true;
    Bill(310, QStringLiteral("MUSTERIKODU='C1', ONAKIT=100"));
    db.exec(QStringLiteral("INSERT INTO MUSTERI VALUES ('C1', 'Kara Ltd')"));

    const Ticket bill = RunOne(QStringLiteral("1"), 310);
    const Ticket expected{QStringLiteral("#-"),
                          QStringLiteral("#-No:310"),
                          QString(),
                          QStringLiteral(">-#TARIH# #SAAT#"),
                          QStringLiteral("#-Salon - 5 - "),
                          QString(),
                          QStringLiteral("AD. URUN"),
                          QStringLiteral(">-B.FIYAT"),
                          QStringLiteral("=-"),
                          QStringLiteral("=-"),
                          QStringLiteral("Toplam   : "),
                          QStringLiteral(">- TL"),
                          QString(),
                          QString(),
                          QStringLiteral("#-Genel Toplam:"),
                          QStringLiteral("#- TL"),
                          QStringLiteral("İlk Bakiye:"),
                          QStringLiteral(">- TL"),
                          QStringLiteral("Kalan Bakiye: "),
                          QStringLiteral(">-0 TL"),
                          QStringLiteral("=-"),
                          QStringLiteral("Tesekkur Ederiz"),
                          QStringLiteral("#-MALİ DEĞERİ YOKTUR"),
                          QStringLiteral("=-"),
                          QStringLiteral("@B0000000003100"),
                          QStringLiteral("#-Belge No: 0000000003100"),
                          QStringLiteral("=-"),
                          QStringLiteral("Teşekkür Ederiz"),
                          QString()};
    EXPECT_EQ(bill.join(QLatin1Char('|')).toStdString(),
              expected.join(QLatin1Char('|')).toStdString());
}

TEST_F(BillEdgeCasesTest, CustomerBalancesBeforeAndAfterTheBill) {
    runner.options.customerFlag = true;
    db.exec(QStringLiteral("INSERT INTO MUSTERI VALUES ('A''1', 'Borçlu'), ('B2', 'Yeni')"));
    db.exec(QStringLiteral("INSERT INTO MUSTISL VALUES ('A''1', 10, 60.25)"));
    Bill(310, QStringLiteral("MUSTERIKODU='A''1'"));
    Bill(311, QStringLiteral("MUSTERIKODU='B2'"));
    Bill(312, QStringLiteral("MUSTERIKODU='X9'"));
    for (const qint64 bill : {310, 311, 312})
        Line(bill, 1, 40);

    const Ticket indebted = RunOne(QStringLiteral("1"), 310);
    EXPECT_EQ(indebted.first(), QStringLiteral("#-Borçlu"));
    EXPECT_TRUE(
        HasLines(indebted, {QStringLiteral("İlk Bakiye:"), QStringLiteral(">--10,25 TL"),
                            QStringLiteral("Kalan Bakiye: "), QStringLiteral(">--50,25 TL")}));

    const Ticket withoutTransactions = RunOne(QStringLiteral("1"), 311);
    EXPECT_EQ(withoutTransactions.first(), QStringLiteral("#-Yeni"));
    EXPECT_TRUE(
        HasLines(withoutTransactions, {QStringLiteral(">-40 TL"), QStringLiteral("Kalan Bakiye: "),
                                       QStringLiteral(">-0 TL")}));

    const Ticket unknown = RunOne(QStringLiteral("1"), 312);
    EXPECT_EQ(unknown.first(), QStringLiteral("#-"));
    EXPECT_TRUE(HasLines(unknown, {QStringLiteral("İlk Bakiye:"), QStringLiteral(">-40 TL"),
                                   QStringLiteral("Kalan Bakiye: "), QStringLiteral(">-0 TL")}));
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

TEST_F(BillEdgeCasesTest, RunningTotalIsSummedInSinglePrecision) {
    Bill(310);
    db.exec(QStringLiteral(
        "WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < 3000) "
        "INSERT INTO A_AdsSatir (FISID, URUNKODU, ADET, TUTAR, SIP, YAZ) "
        "SELECT 310, 'K1', 1, 0.1, 1, 1 FROM n"));

    // In double precision the 3000 lines would come to 300.
    EXPECT_TRUE(HasLines(RunOne(QStringLiteral("1"), 310),
                         {QStringLiteral("Toplam   : "), QStringLiteral(">-300,01 TL")}));
}

TEST_F(BillEdgeCasesTest, FailedRatesDownloadLeavesAnEmptyLine) {
    runner.options.printRatesFlag = true;
    Bill(310);
    Line(310, 1, 40, QString(), 1);

    EXPECT_TRUE(HasLines(RunOne(QStringLiteral("1"), 310),
                         {QStringLiteral("=-"), QString(), QStringLiteral("Tesekkur Ederiz")}));
    const Ticket split = RunOne(QStringLiteral("3"), 310, QStringLiteral("ParcaliHesap=1"));
    EXPECT_EQ(split.mid(split.size() - 6),
              QStringList({QStringLiteral("=-"), QString(), QString(), QString(),
                           QStringLiteral("#-Tesekkur Ederiz"), QStringLiteral(".")}));
}

TEST_F(BillEdgeCasesTest, SubAccountThatIsNoWholeNumberListsNothing) {
    Bill(310);
    Line(310, 1, 40, QString(), 2);
    Line(310, 1, 50, QString(), 3);

    const Ticket split = RunOne(QStringLiteral("3"), 310, QStringLiteral("ParcaliHesap=2.5"));
    EXPECT_TRUE(HasLines(split, {QStringLiteral("=-"), QStringLiteral("=-"),
                                 QStringLiteral("Toplam   : "), QStringLiteral(">- TL")}));
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

    const Ticket pos = RunOne(QStringLiteral("5"), 310);
    EXPECT_EQ(pos.mid(4, 7),
              QStringList({QStringLiteral("Fiş No:310"), QStringLiteral("FaturaETTN:"), QString(),
                           QStringLiteral("FaturaNo:"), QString(),
                           QStringLiteral(">-#TARIH# #SAAT#"), QStringLiteral("AD. URUN")}));
    const Ticket eadisyon = RunOne(QStringLiteral("4"), 310);
    EXPECT_EQ(
        eadisyon.mid(4, 6),
        QStringList({QStringLiteral("ETTN:"), QStringLiteral("#-X"), QStringLiteral("Eadisyon No:"),
                     QString(), QStringLiteral(">-#TARIH# #SAAT#"), QStringLiteral("AD. URUN")}));
}

} // namespace
