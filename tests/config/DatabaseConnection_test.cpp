#include "config/DatabaseConnection.h"
#include "config/IniFile.h"
#include "core/Error.h"
#include "db/DatabaseSession.h"
#include "support/QStringPrinter.h"
#include "support/RecordingMessages.h"
#include "support/TestDatabase.h"
#include "support/TurkishLocale.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QTcpServer>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

const QString MissingFileMessage =
    QStringLiteral("Databsae.ini dosyasi bulunamadi. Yeniden olusturuluyor...");
const QString FailurePrefix = QStringLiteral("Hata, Veritabanina baglanilamadi.\r\n");
const QString ClosingMessage =
    QStringLiteral("Database.Ini dosyasini kontrol edin. Uygulama kapanacaktir.");

#ifdef Q_OS_WIN
const QByteArray NewLine("\r\n");
#else
const QByteArray NewLine("\n");
#endif

// A temporary executable directory, a machine called KASA and no SQL Server driver unless a
// test installs one.
class DatabaseConnectionTest : public ::testing::Test {
protected:
    QString iniPath() const { return m_ini.filePath("Database"); }
    QByteArray iniText() const {
        QFile file(iniPath());
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }
    void writeIni(const QByteArray& text) const {
        QFile file(iniPath());
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(text);
    }
    bool connect() {
        DatabaseConnection connection(
            m_ini, m_messages, [] { return QStringLiteral("KASA"); }, [this] { return m_drivers; });
        connection.ReadDatabaseIni();
        const bool connected = connection.Connect(m_session);
        m_server = connection.server();
        return connected;
    }
    void expectConnectionFailure() {
        const QStringList shown = m_messages.messages();
        ASSERT_GE(shown.size(), 2);
        EXPECT_TRUE(shown.at(shown.size() - 2).startsWith(FailurePrefix));
        EXPECT_GT(shown.at(shown.size() - 2).size(), FailurePrefix.size());
        EXPECT_EQ(shown.last(), ClosingMessage);
        EXPECT_FALSE(m_session.isOpen());
    }

    QTemporaryDir m_dir;
    IniFiles m_ini{m_dir.path()};
    RecordingMessages m_messages;
    DatabaseSession m_session{"connection-step"};
    QStringList m_drivers;
    QString m_server;
};

TEST_F(DatabaseConnectionTest, MissingFileIsAnnouncedAndRecreatedWithDefaults) {
    EXPECT_FALSE(connect());
    ASSERT_EQ(m_messages.messages().size(), 3);
    EXPECT_EQ(m_messages.messages().first(), MissingFileMessage);
    expectConnectionFailure();
    EXPECT_EQ(iniText(), "[Database]" + NewLine + "Server=KASA\\SQLExpress" + NewLine +
                             "Database=KESTROVA_2025" + NewLine + "User=sa" + NewLine +
                             "Pass=#DEFAULT#" + NewLine);
    // The session tried the four values, the built-in password among them.
    EXPECT_EQ(m_session.target().databaseName,
              "DRIVER={SQL Server};SERVER=KASA\\SQLExpress;DATABASE=KESTROVA_2025;UID=sa;"
              "PWD=pelinkar;");

    // The next start finds the file, and the built-in password still never reaches it.
    m_messages.clear();
    EXPECT_FALSE(connect());
    EXPECT_EQ(m_messages.messages().size(), 2);
    EXPECT_TRUE(iniText().contains("Pass=#DEFAULT#"));
    EXPECT_FALSE(iniText().contains("pelinkar"));
}

TEST_F(DatabaseConnectionTest, ValuesInTheFileAreUsedAsWritten) {
    writeIni("[database]\r\nserver=\r\nDATABASE=Kestrova\r\nuser=garson\r\nPASS=gizli;1\r\n");
    EXPECT_FALSE(connect());
    EXPECT_EQ(m_server, "");
    EXPECT_EQ(m_session.target().databaseName,
              "DRIVER={SQL Server};SERVER=;DATABASE=Kestrova;UID=garson;PWD={gizli;1};");
    EXPECT_EQ(iniText(), "[database]\r\nserver=\r\nDATABASE=Kestrova\r\nuser=garson\r\n"
                         "PASS=gizli;1\r\n");
}

TEST_F(DatabaseConnectionTest, CustomStringOpensSqliteAndServerIsStillResolved) {
    TestDatabase database;
    const QString absolute = database.filePath();
    ASSERT_TRUE(QFile::copy(absolute, QDir(m_dir.path()).filePath("demo.db")));
    writeIni("[Database]\nServer=#DEFAULT#\nCustomConnStr=Provider=SQLite;Data Source=demo.db\n");
    EXPECT_TRUE(connect());
    EXPECT_TRUE(m_session.isOpen());
    EXPECT_EQ(m_session.target().databaseName, QDir(m_dir.path()).filePath("demo.db"));
    EXPECT_EQ(m_session.target().driver, "QSQLITE");
    EXPECT_TRUE(m_messages.entries().isEmpty());
    EXPECT_EQ(iniText(), "[Database]\nServer=KASA\\SQLExpress\nCustomConnStr=Provider=SQLite;"
                         "Data Source=demo.db\nDatabase=KESTROVA_2025\nUser=sa\nPass=#DEFAULT#\n");

    m_session.Close();
    IniFiles(m_dir.path())
        .IniWriteString("Database", "Database", "CustomConnStr",
                        "Provider=SQLite;Data Source=" + absolute);
    EXPECT_TRUE(connect());
    EXPECT_EQ(m_session.target().databaseName, absolute);
}

TEST_F(DatabaseConnectionTest, MissingSqliteFileFailsAndIsNotCreated) {
    writeIni("[Database]\nCustomConnStr=Provider=SQLite;Data Source=absent.db\n");
    EXPECT_FALSE(connect());
    EXPECT_EQ(m_messages.messages().size(), 2);
    expectConnectionFailure();
    EXPECT_FALSE(QFile::exists(QDir(m_dir.path()).filePath("absent.db")));
}

#ifndef Q_OS_WIN // FreeTDS is the Linux side's SQL Server driver
TEST_F(DatabaseConnectionTest, UnreachableSqlServerGivesTheClientsErrorQuickly) {
    quint16 closedPort = 0;
    {
        QTcpServer probe;
        ASSERT_TRUE(probe.listen(QHostAddress::LocalHost, 0));
        closedPort = probe.serverPort();
    }
    writeIni(QStringLiteral("[Database]\nServer=127.0.0.1,%1\n").arg(closedPort).toUtf8());
    m_drivers = {"FreeTDS"};
    QElapsedTimer timer;
    timer.start();
    EXPECT_FALSE(connect());
    EXPECT_LT(timer.elapsed(), 5000);
    ASSERT_EQ(m_messages.messages().size(), 2);
    expectConnectionFailure();
    // FreeTDS's own text: the driver manager found the driver and the driver tried the server.
    const QString underC = m_messages.messages().first();
    EXPECT_TRUE(underC.contains("[FreeTDS]")) << underC.toStdString();

    // The same under Turkish settings, where the driver manager's keyword match folds case
    // the Turkish way.
    m_messages.clear();
    const TurkishLocale turkish;
    EXPECT_FALSE(connect());
    ASSERT_EQ(m_messages.messages().size(), 2);
    EXPECT_EQ(m_messages.messages().first(), underC);
}

TEST_F(DatabaseConnectionTest, TechniciansOdbcStringConnectsUnderTurkishSettings) {
    TestDatabase database;
    database.addBill(302, "1", "M5");
    writeIni(("[Database]\nCustomConnStr=Driver=SQLite3;Database=" + database.filePath() + "\n")
                 .toUtf8());
    const TurkishLocale turkish;
    ASSERT_TRUE(connect()) << m_messages.messages().join(" | ").toStdString();
    EXPECT_EQ(m_session.target().driver, "QODBC");
    EXPECT_EQ(m_session.Select("SELECT MASANO FROM A_Adisyon").recordCount(), 1);
}
#endif

TEST_F(DatabaseConnectionTest, UnwritableDirectoryStopsTheStepWithAnIniError) {
    IniFiles absent(QDir(m_dir.path()).filePath("absent"));
    DatabaseConnection connection(absent, m_messages);
    EXPECT_THROW(connection.ReadDatabaseIni(), IniFileError);
    EXPECT_EQ(m_messages.messages(), QStringList{MissingFileMessage});
}

} // namespace
