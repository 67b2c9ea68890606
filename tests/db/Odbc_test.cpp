#include "core/Error.h"
#include "db/ConnectionString.h"
#include "db/DatabaseSession.h"
#include "db/OdbcDrivers.h"
#include "db/SqliteDialect.h"
#include "queue/QueueStatements.h"
#include "support/QStringPrinter.h"
#include "support/TdsLoginCapture.h"
#include "support/TestDatabase.h"

#include <QFile>
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

    // The session sends statements to ODBC as written; behind this driver sits SQLite, so
    // the test itself spells T-SQL's ISNULL the SQLite way.
    RecordSet lines(bool sent, bool printed, const QVariant& kind) {
        return m_odbc.Select(SqliteStatementText(LineStatement()),
                             {{"SIP", sent}, {"ID", 302}, {"YAZ", printed}, {"IADE", kind}});
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
