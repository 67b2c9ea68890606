#include "core/Error.h"
#include "db/ConnectionString.h"
#include "support/QStringPrinter.h"

#include <gtest/gtest.h>

namespace {

const QStringList FreeTdsOnly = {"FreeTDS"};

TEST(SqlServerDriver, PrefersMicrosoftsNewestThenFreeTds) {
    EXPECT_EQ(SqlServerOdbcDriver({"SQLite3", "FreeTDS", "ODBC Driver 17 for SQL Server",
                                   "ODBC Driver 18 for SQL Server"}),
              "ODBC Driver 18 for SQL Server");
    EXPECT_EQ(SqlServerOdbcDriver({"FreeTDS", "ODBC Driver 17 for SQL Server"}),
              "ODBC Driver 17 for SQL Server");
    EXPECT_EQ(SqlServerOdbcDriver({"SQL Server", "freetds"}), "freetds");
    EXPECT_EQ(SqlServerOdbcDriver({"SQLite3"}), "SQL Server");
}

TEST(SqlServerTarget, QuotesValuesAsTheChosenDriverReadsThem) {
    const ConnectionTarget microsoft = SqlServerTarget("KASA\\SQLExpress", "KESTROVA_2025", "sa",
                                                       "a;b}c", {"ODBC Driver 17 for SQL Server"});
    EXPECT_EQ(microsoft.driver, "QODBC");
    EXPECT_EQ(microsoft.databaseName,
              "DRIVER={ODBC Driver 17 for SQL Server};SERVER=KASA\\SQLExpress;"
              "DATABASE=KESTROVA_2025;UID=sa;PWD={a;b}}c};");

    EXPECT_EQ(SqlServerTarget("db,1433", "D", "u", " p}", FreeTdsOnly).databaseName,
              "DRIVER={FreeTDS};SERVER=db,1433;DATABASE=D;UID=u;PWD={ p}};");
    // FreeTDS has no way to carry "};" inside a value; the error must not show the password.
    try {
        SqlServerTarget("db", "D", "u", "secret};x", FreeTdsOnly);
        FAIL() << "no error";
    } catch (const DatabaseError& error) {
        EXPECT_FALSE(error.message().contains("secret"));
        EXPECT_TRUE(error.message().contains("PWD"));
    }
}

TEST(SqlServerTarget, Driver18TrustsTheLocalServersCertificate) {
    EXPECT_EQ(SqlServerTarget("S", "D", "u", "p", {"ODBC Driver 18 for SQL Server"}).databaseName,
              "DRIVER={ODBC Driver 18 for SQL Server};SERVER=S;DATABASE=D;UID=u;PWD=p;"
              "TRUSTSERVERCERTIFICATE=yes;");
    const QString technicians =
        TranslateConnectionString("Provider=MSOLEDBSQL;Server=S;TrustServerCertificate=no", {},
                                  {"ODBC Driver 18 for SQL Server"})
            .databaseName;
    EXPECT_EQ(technicians, "DRIVER={ODBC Driver 18 for SQL Server};SERVER=S;"
                           "TRUSTSERVERCERTIFICATE=no;");
}

// Keywords are upper-cased, since the driver manager compares them with the locale's case
// folding; values, braces and blanks go through as written.
TEST(TranslateConnectionString, OdbcStringsGoThroughWithUpperCaseKeywords) {
    EXPECT_EQ(TranslateConnectionString("DSN=Kasa;UID=sa;PWD={x;y}", {}, FreeTdsOnly).databaseName,
              "DSN=Kasa;UID=sa;PWD={x;y};");
    const ConnectionTarget odbc = TranslateConnectionString(
        " driver = {FreeTDS};Server=h;Pwd={a}};uid=b};;trusted_Connection= no;", {}, {});
    EXPECT_EQ(odbc.driver, "QODBC");
    EXPECT_EQ(odbc.databaseName,
              "DRIVER = {FreeTDS};SERVER=h;PWD={a}};uid=b};;TRUSTED_CONNECTION= no;");
}

TEST(TranslateConnectionString, OleDbKeysMapOntoOdbc) {
    const ConnectionTarget target = TranslateConnectionString(
        " provider = sqloledb.1 ; Persist Security Info=True; DATA SOURCE = KASA\\SQLExpress ;"
        "initial catalog=KESTROVA_2025;User Id=sa;password='it''s;\"}';;Encrypt=no",
        {}, FreeTdsOnly);
    EXPECT_EQ(target.driver, "QODBC");
    EXPECT_EQ(target.databaseName, "DRIVER={FreeTDS};SERVER=KASA\\SQLExpress;"
                                   "DATABASE=KESTROVA_2025;UID=sa;PWD={it's;\"}};ENCRYPT=no;");

    EXPECT_EQ(TranslateConnectionString("Data Source=A;User ID=u;Password=p;Data Source=B", {},
                                        FreeTdsOnly)
                  .databaseName,
              "DRIVER={FreeTDS};SERVER=B;UID=u;PWD=p;");
    EXPECT_EQ(TranslateConnectionString("Provider=SQLNCLI11;Server=S;UID=u", {}, FreeTdsOnly)
                  .databaseName,
              "DRIVER={FreeTDS};SERVER=S;UID=u;");
}

TEST(TranslateConnectionString, UnusableStringsFailWithoutShowingTheirValues) {
    const QStringList broken = {
        "Provider=Microsoft.Jet.OLEDB.4.0;Data Source=x.mdb",
        "Provider=SQLite",
        "Data Source=S;Password=\"secret;",
        "Data Source=S;Password='secret' tail",
        "Data Source=S;secret",
    };
    for (const QString& text : broken) {
        try {
            TranslateConnectionString(text, {}, FreeTdsOnly);
            ADD_FAILURE() << "accepted: " << text.toStdString();
        } catch (const DatabaseError& error) {
            EXPECT_FALSE(error.message().isEmpty());
            EXPECT_FALSE(error.message().contains("secret")) << error.message().toStdString();
        }
    }
}

} // namespace
