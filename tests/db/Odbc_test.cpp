#include "core/Error.h"
#include "core/RegionalSettings.h"
#include "db/ConnectionString.h"
#include "db/DatabaseSession.h"
#include "db/OdbcDrivers.h"
#include "queue/QueueStatements.h"
#include "support/BillJobRunner.h"
#include "support/QStringPrinter.h"
#include "support/TdsLoginCapture.h"
#include "support/TestDatabase.h"
#include "support/TicketLines.h"

#include <QFile>
#include <QSqlQuery>
#include <gtest/gtest.h>

namespace {

// The SQLite and FreeTDS ODBC drivers are Debian packages; a Windows machine has Microsoft's
// driver, which needs a SQL Server.
#ifndef Q_OS_WIN
TEST(OdbcDrivers, ListsTheDriversTheDriverManagerKnows) {
    const QStringList drivers = InstalledOdbcDrivers();
    EXPECT_TRUE(drivers.contains("SQLite3")) << drivers.join(", ").toStdString();
    EXPECT_TRUE(drivers.contains("FreeTDS")) << drivers.join(", ").toStdString();
}

// The queries reach a real ODBC driver: SQLite's, on a file seeded through the SQLite session.
class OdbcSqliteTest : public ::testing::Test {
protected:
    void SetUp() override {
        m_seed.addProduct("10", QString::fromUtf8("Türk kahvesi"), "BAR");
        m_seed.addProduct("11", "Ayran", QString());
        m_seed.exec("INSERT INTO URUNYAZICI (UrunKodu, Departman, YaziciAdi) VALUES ('11', '1', "
                    "'MUTFAK')");
        m_seed.addBill(302, "1", "M5");
        m_sentLine = m_seed.addSaleLine(302, "10", 2, 12.5, QString::fromUtf8("şekersiz"));
        m_seed.exec(
            QStringLiteral("UPDATE A_AdsSatir SET SIP=1, YAZ=1 WHERE ID=%1").arg(m_sentLine));
        m_newLine = m_seed.addSaleLine(302, "11", 1, 4);
        m_seed.exec(QStringLiteral("UPDATE A_AdsSatir SET SIP=1 WHERE ID=%1").arg(m_newLine));
        m_seed.addSaleLine(302, "99", 1, 1); // not sent yet, and no such product

        const ConnectionTarget target = TranslateConnectionString(
            "Driver=SQLite3;Database=" + m_seed.filePath(), m_seed.directory(), {});
        ASSERT_EQ(target.driver, "QODBC");
        m_odbc.Open(target);
    }

    // The T-SQL as the server sends it: the session finds SQLite behind the driver.
    RecordSet lines(bool sent, bool printed, const QVariant& kind) {
        return m_odbc.Select(LineStatement(),
                             {{"SIP", sent}, {"ID", 302}, {"YAZ", printed}, {"IADE", kind}});
    }

    // The bills printed by one tick each through the session, with the customer's balance.
    QList<Ticket> PrintBills(DatabaseSession& session, const QList<qint64>& bills) {
        BillJobRunner runner(session, {"KASA-1"});
        runner.options.customerFlag = true;
        runner.LoadPrinters();
        for (const qint64 bill : bills) {
            m_seed.queueJob(bill, "1");
            runner.Tick();
        }
        EXPECT_EQ(m_seed.count("A_YazimKuyrugu"), 0);
        return runner.printer().TicketsFor("KASA-1");
    }

    TestDatabase m_seed;
    DatabaseSession m_odbc{"odbc-sqlite"};
    qint64 m_sentLine = 0;
    qint64 m_newLine = 0;
};

TEST_F(OdbcSqliteTest, BindsFlagsNumbersTextAndNullsAndReadsTypedAndNullColumns) {
    RecordSet printed = lines(true, true, "A");
    ASSERT_EQ(printed.recordCount(), 1);
    printed.First();
    EXPECT_EQ(printed.value("ID").toLongLong(), m_sentLine);
    EXPECT_EQ(printed.text("ADI"), QString::fromUtf8("Türk kahvesi"));
    EXPECT_EQ(printed.text("ACIKLAMA"), QString::fromUtf8("şekersiz"));
    EXPECT_DOUBLE_EQ(printed.number("TUTAR"), 12.5);
    EXPECT_DOUBLE_EQ(printed.number("ADET"), 2);
    EXPECT_EQ(printed.text("YAZICI"), "BAR");
    EXPECT_EQ(printed.text("EKYAZICI"), "");
    EXPECT_TRUE(printed.isNull("ONAKIT"));

    RecordSet pending = lines(true, false, "A");
    ASSERT_EQ(pending.recordCount(), 1);
    pending.First();
    EXPECT_EQ(pending.value("ID").toLongLong(), m_newLine);
    EXPECT_EQ(pending.text("YAZICI"), "MUTFAK"); // the department's printer wins
    EXPECT_TRUE(pending.isNull("ACIKLAMA"));

    EXPECT_EQ(lines(true, true, "I").recordCount(), 0);
    EXPECT_EQ(lines(false, false, "A").recordCount(), 1);

    const RecordSet none =
        m_odbc.Select(AuxiliaryStatement(), {{"SIP", QVariant()}, {"ID", QVariant()}});
    EXPECT_EQ(none.columns(), QStringList({"ADI", "ACIKLAMA", "TUTAR"}));
    EXPECT_EQ(none.recordCount(), 0);
}

// Rates, quantities, amounts and a four-decimal balance reach the bill in the same text forms
// through the driver's decimals as through the embedded provider.
TEST_F(OdbcSqliteTest, BillsPrintTheSameThroughOdbcAsThroughTheEmbeddedProvider) {
    const RegionalSettings saved = RegionalSettings::current();
    RegionalSettings turkish = saved;
    turkish.decimalSeparator = QLatin1Char(',');
    RegionalSettings::setCurrent(turkish);
    m_seed.exec("INSERT INTO A_Yazicilar VALUES ('Adisyon', 'KASA-1')");
    m_seed.exec("INSERT INTO MUSTERI VALUES ('C1', 'Kara Ltd')");
    m_seed.exec("INSERT INTO MUSTISL VALUES ('C1', 300.1234, 0), ('C1', 0, 200)");
    const QStringList rates{"10", "12.5", "0", "NULL"};
    for (qint64 bill = 303; bill < 307; ++bill) {
        m_seed.addBill(bill, "1", "M5");
        m_seed.exec(QStringLiteral("UPDATE A_Adisyon SET MUSTERIKODU='C1', INDORAN=%1, "
                                   "INDTOPLAM=5, SERVISORAN=12.5, SERVISTUTAR=4.5, TOPLAM=99.5 "
                                   "WHERE ID=%2")
                        .arg(rates.at(bill - 303))
                        .arg(bill));
        m_seed.addSaleLine(bill, "10", 1, 12.5);
        m_seed.addSaleLine(bill, "11", 0.5, 40);
        m_seed.addSaleLine(bill, "11", 12.5, 62.5);
    }
    m_seed.exec("UPDATE A_AdsSatir SET SIP=1, YAZ=1 WHERE FISID > 302");

    const QList<Ticket> embedded = PrintBills(m_seed.session(), {303, 304, 305, 306});
    const QList<Ticket> odbc = PrintBills(m_odbc, {303, 304, 305, 306});
    RegionalSettings::setCurrent(saved);

    ASSERT_EQ(embedded.size(), 4);
    EXPECT_EQ(odbc, embedded);
    EXPECT_TRUE(HasLines(embedded[0], Lines("1   Türk kahvesi|>-12,5 TL|0,5 Ayran|>-40 TL|"
                                            "12,5 Ayran|>-62,5 TL|=-|Toplam   : |>-115 TL||"
                                            "#-Indirim : %10|#->-5 TL|Servis  : %12,5|>-4,5 TL")));
    EXPECT_TRUE(HasLines(embedded[0], Lines("#-99,5 TL|İlk Bakiye:|>-215,12 TL|Kalan Bakiye: |"
                                            ">-100,1234 TL")));
    EXPECT_TRUE(HasLines(embedded[1], Lines("#-Indirim : %12,5|#->-5 TL|Servis  : %12,5")));
    for (const Ticket& withoutRate : {embedded[2], embedded[3]})
        EXPECT_TRUE(HasLines(withoutRate, Lines("#-Indirim : |#->-5 TL|=-|Servis  : %12,5")));

    // At high precision the driver hands its own text over ("10.0"); the column's type reads it.
    QSqlQuery exact(m_odbc.database());
    exact.setNumericalPrecisionPolicy(QSql::HighPrecision);
    ASSERT_TRUE(exact.exec("SELECT INDORAN, ID FROM A_Adisyon WHERE ID = 303"));
    RecordSet rate = RecordSet::fetchAll(exact);
    rate.First();
    EXPECT_EQ(rate.text("INDORAN") + rate.text("ID"), "10303");
}

// What FreeTDS really sends to the server shows whether the quoting survived the driver.
TEST(OdbcFreeTds, AwkwardValuesReachTheServerIntact) {
    const QString password = QString::fromUtf8("p;w}d{ }=x;UID=evil");
    const QString database = QString::fromUtf8("KESTROVA;2025}");
    const QString user = " us;er ";
    TdsLoginCapture server;
    DatabaseSession session("tds");
    EXPECT_THROW(session.Open(SqlServerTarget(QStringLiteral("127.0.0.1,%1").arg(server.port()),
                                              database, user, password, {"FreeTDS"})),
                 DatabaseError);
    const auto login = server.login();
    ASSERT_TRUE(login.has_value());
    EXPECT_EQ(login->password, password);
    EXPECT_EQ(login->database, database);
    EXPECT_EQ(login->user, user);
}
#endif

} // namespace
