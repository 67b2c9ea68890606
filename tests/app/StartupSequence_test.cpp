#include "app/PrintServer.h"
#include "config/ComputerName.h"
#include "core/Error.h"
#include "log/DiagnosticLog.h"
#include "support/RecordingMessages.h"
#include "support/ServerDirectory.h"

#include <QDir>
#include <QFile>
#include <functional>
#include <gtest/gtest.h>

namespace {

const QString PollKey = QStringLiteral("Server calisma araligi (x snde bir)");

class StartupTest : public ::testing::Test {
protected:
    StartupHooks hooks() {
        return {[this](int milliseconds) {
                    pauses.append(milliseconds);
                    onPause();
                },
                [this](const QString& directory) {
                    fetchDirectories.append(directory);
                    return onFetch();
                }};
    }

    StartupOutcome start() { return server.FormCreate(); }
    ServerParts& parts() { return server.parts(); }
    QVariant pollSetting() {
        return dir.database().scalar(
            QStringLiteral("SELECT Deger FROM AYAR WHERE Modul='POS' AND Bolum='Sistem' AND "
                           "Ayar='%1'")
                .arg(PollKey));
    }
    bool queueOpen() { return parts().poller && parts().poller->Q().isOpen(); }
    QString logText() const { return QString::fromLocal8Bit(dir.read("velmora.log")); }

    ServerDirectory dir;
    RecordingMessages messages;
    QList<int> pauses;
    QStringList fetchDirectories;
    std::function<void()> onPause = [] {
    };
    std::function<QString()> onFetch = [] {
        return QStringLiteral("USD: 41.123 - EUR: 47.890");
    };
    DiagnosticLog log{dir.logPath()};
    PrintServer server{dir.path(), log, messages, hooks()};
};

TEST_F(StartupTest, FreshStartRunsEveryStepInOrder) {
    TestDatabase& db = dir.database();
    db.addBill(7, QStringLiteral("1"), QStringLiteral("5"));
    db.exec(QStringLiteral("INSERT INTO A_YazimKuyrugu (Tur, AdisyonID) VALUES ('1', NULL)"));
    const qint64 job = db.queueJob(7, QStringLiteral("1"));
    db.exec(QStringLiteral("INSERT INTO A_Yazicilar VALUES ('Adisyon', 'pdf:a'), "
                           "('Mutfak', 'pdf:m'), ('Adisyon', 'pdf:b')"));

    bool connectedAtPause = true;
    QStringList settingsAtPause;
    onPause = [&] {
        connectedAtPause = parts().C.isOpen();
        settingsAtPause = dir.lines(QStringLiteral("Velmora.ini"));
    };

    EXPECT_EQ(start(), StartupOutcome::Running);
    EXPECT_TRUE(messages.entries().isEmpty());

    // The pause follows the layout, precedes the switches and the connection.
    EXPECT_EQ(pauses, QList<int>{5});
    EXPECT_FALSE(connectedAtPause);
    EXPECT_EQ(settingsAtPause, FreshLocalSettingsLines().mid(0, 9)); // up to the pause
    EXPECT_EQ(dir.lines(QStringLiteral("Velmora.ini")), FreshLocalSettingsLines());
    EXPECT_EQ(dir.lines(QStringLiteral("Database.ini")),
              (QStringList{"[Database]", "CustomConnStr=Provider=SQLite;Data Source=velmora.db",
                           "Server=" + ComputerNameOf() + "\\SQLExpress", "Database=KESTROVA_2025",
                           "User=sa", "Pass=#DEFAULT#"}));

    EXPECT_TRUE(parts().C.isOpen());
    EXPECT_EQ(db.count(QStringLiteral("A_YazimKuyrugu")), 1);
    EXPECT_EQ(db.count(QStringLiteral("A_YazimKuyrugu"), QStringLiteral("ID=%1").arg(job)), 1);

    EXPECT_TRUE(queueOpen());
    EXPECT_EQ(parts().poller->Q().recordCount(), 1);
    EXPECT_TRUE(parts().A.isOpen());
    EXPECT_EQ(parts().A.params(),
              (SqlParameters{{"SIP", true}, {"ID", 302}, {"YAZ", true}, {"IADE", "A"}}));
    EXPECT_FALSE(parts().X.isOpen()); // the settings store leaves it closed
    EXPECT_FALSE(parts().YAZ.isOpen());

    ASSERT_EQ(parts().registry.printers().size(), 3);
    EXPECT_EQ(parts().registry.printers().at(1).Adi, QStringLiteral("Mutfak"));
    EXPECT_EQ(parts().registry.FindPrinterPath(QStringLiteral("Adisyon")), QStringLiteral("pdf:b"));

    EXPECT_EQ(pollSetting(), QVariant(QStringLiteral("2")));
    EXPECT_TRUE(parts().T.isActive());
    EXPECT_EQ(parts().T.interval(), 2000);
    EXPECT_TRUE(fetchDirectories.isEmpty());
    EXPECT_FALSE(parts().options.printRatesFlag);
    EXPECT_TRUE(parts().options.exchangeRateLine.isEmpty());
    EXPECT_FALSE(QFile::exists(dir.logPath())); // nothing forced, not verbose
}

TEST_F(StartupTest, EditedSettingsAreReadWithTheirRules) {
    dir.write(QStringLiteral("Velmora.ini"),
              QStringLiteral("[Font]\r\nFont boyu=12pt\r\n"
                             "[Bosluk]\r\nSol=3\r\nSag=-2\r\nUst= 4 \r\n"
                             "[Sistem]\r\nAcilista bekleme suresi=-20\r\nHizli kontrol (ms)=20\r\n"
                             "[Velmora]\r\nÇıktıda cari adı ve bakiyesini yaz=1   \r\n"
                             "Çıktıda adisyon masa bilgilerini yaz=on\r\n"
                             "[BU KISIMDAKI AYARLARI DEGISTIRMEYIN]\r\n"
                             "Dummy Server (DEGISTIRMEYIN)=2\r\n"
                             "Verbose mode (DEGISTIRMEYIN)=1\r\n"
                             "[yedek yazicilar]\r\nmutfak=Bar\r\nMUTFAK=Teras\r\nIzgara=izgara\r\n"
                             "[yazici mutfak]\r\nboyut=2\r\nVURGU=kirmizi\r\n"
                             "[Yazici Bar]\r\nzil=2\r\n[Yazici Kasa]\r\nboyut=2\r\n")
                  .toLocal8Bit());
    dir.database().exec(
        QStringLiteral("INSERT INTO A_Yazicilar VALUES ('Mutfak', 'MutfakKuyrugu'), "
                       "('Bar', 'BarKuyrugu'), ('Kasa', 'pdf:kasa')"));

    EXPECT_EQ(start(), StartupOutcome::Running);
    // A system printer takes its logical printer's section, and cannot ring; an address with a
    // scheme carries its own options.
    const TicketOptions kitchen = parts().printers.TicketOptionsOf(QStringLiteral("mutfakkuyrugu"));
    EXPECT_EQ(kitchen.scale, 2);
    EXPECT_EQ(kitchen.emphasis, TicketOptions::Emphasis::Red);
    EXPECT_THROW(parts().printers.TicketOptionsOf(QStringLiteral("BarKuyrugu")), PrinterError);
    EXPECT_EQ(parts().printers.TicketOptionsOf(QStringLiteral("pdf:kasa")).scale, 1);
    EXPECT_TRUE(logText().contains(QStringLiteral("Velmora.ini [Yazici Kasa] kullanilmadi")));
    // Keys as ini keys are read (any case, the first line), a printer is not its own backup.
    EXPECT_EQ(parts().backups.BackupOf(QStringLiteral("Mutfak")), QStringLiteral("Bar"));
    EXPECT_TRUE(parts().backups.BackupOf(QStringLiteral("Izgara")).isEmpty());
    const PrintSettings& print = parts().printSettings;
    EXPECT_EQ(print.fontSize, 10);
    EXPECT_TRUE(dir.lines(QStringLiteral("Velmora.ini")).contains(QStringLiteral("Font boyu=10")));
    EXPECT_EQ(print.left, 3);
    EXPECT_EQ(print.right, -2);
    EXPECT_EQ(print.top, 4);
    EXPECT_EQ(print.bottom, 0);
    EXPECT_EQ(pauses, QList<int>{0}); // a negative pause does not pause
    EXPECT_EQ(parts().watch.interval(), kMinQueueCheckInterval);
    EXPECT_TRUE(parts().options.customerFlag);
    EXPECT_FALSE(parts().options.tableInfoFlag);
    EXPECT_FALSE(print.dummy);
    EXPECT_TRUE(parts().log.isVerbose());
}

TEST_F(StartupTest, RatesAreFetchedLastBeforeTheTimer) {
    dir.write(QStringLiteral("Velmora.ini"),
              "[Velmora]\r\nHesap fislerinde doviz kurlarini yaz=1\r\n");
    QVariant pollSettingAtFetch;
    bool timerAtFetch = true;
    onFetch = [&] {
        pollSettingAtFetch = pollSetting();
        timerAtFetch = parts().T.isActive();
        return QStringLiteral("USD: 41.123 - EUR: 47.890");
    };

    EXPECT_EQ(start(), StartupOutcome::Running);
    EXPECT_EQ(fetchDirectories, QStringList{dir.path()});
    EXPECT_EQ(pollSettingAtFetch, QVariant(QStringLiteral("2")));
    EXPECT_FALSE(timerAtFetch);
    EXPECT_TRUE(parts().options.printRatesFlag);
    EXPECT_EQ(parts().options.exchangeRateLine, QStringLiteral("USD: 41.123 - EUR: 47.890"));
    EXPECT_TRUE(parts().T.isActive());
}

TEST_F(StartupTest, UnreadableRatesFileStopsTheStart) {
    dir.write(QStringLiteral("Velmora.ini"),
              "[Velmora]\r\nHesap fislerinde doviz kurlarini yaz=1\r\n");
    onFetch = []() -> QString {
        throw Error(QStringLiteral("Doviz.xml dosyası açılamadı"));
    };

    EXPECT_EQ(start(), StartupOutcome::Stopped);
    EXPECT_EQ(messages.messages(), QStringList{"Doviz.xml dosyası açılamadı"});
    EXPECT_FALSE(parts().T.isActive());
    EXPECT_FALSE(server.isClosed());
}

TEST_F(StartupTest, ConnectionFailureShowsBothMessagesAfterReadingTheSettings) {
    dir.write(QStringLiteral("Database.ini"),
              "[Database]\r\nCustomConnStr=Provider=SQLite;Data Source=missing.db\r\n");

    EXPECT_EQ(start(), StartupOutcome::ConnectionFailed);
    const QStringList shown = messages.messages();
    ASSERT_EQ(shown.size(), 2);
    EXPECT_TRUE(shown[0].startsWith(QStringLiteral("Hata, Veritabanina baglanilamadi.\r\n")));
    EXPECT_TRUE(shown[0].contains(QStringLiteral("missing.db")));
    EXPECT_EQ(shown[1],
              QStringLiteral("Database.Ini dosyasini kontrol edin. Uygulama kapanacaktir."));
    EXPECT_EQ(pauses, QList<int>{5});
    EXPECT_TRUE(dir.lines(QStringLiteral("Velmora.ini"))
                    .contains(QStringLiteral("Verbose mode (DEGISTIRMEYIN)=0")));
    EXPECT_FALSE(parts().C.isOpen());
    EXPECT_FALSE(parts().T.isActive());
}

TEST_F(StartupTest, UnwritableSettingsFileStopsBeforeThePause) {
    // A directory in the file's place cannot be read or replaced, whoever runs the test.
    ASSERT_TRUE(QDir(dir.path()).mkdir(QStringLiteral("Velmora.ini")));

    EXPECT_EQ(start(), StartupOutcome::Stopped);
    ASSERT_EQ(messages.messages().size(), 1);
    EXPECT_TRUE(messages.messages().first().contains(QStringLiteral("Velmora.ini")));
    EXPECT_TRUE(pauses.isEmpty());
    EXPECT_FALSE(parts().C.isOpen());
    EXPECT_FALSE(parts().T.isActive());
    EXPECT_FALSE(server.isClosed());
}

TEST_F(StartupTest, ZeroIntervalNeverPollsAndSaysSo) {
    dir.database().exec(
        QStringLiteral("INSERT INTO AYAR VALUES ('POS', 'Sistem', '%1', '0')").arg(PollKey));

    EXPECT_EQ(start(), StartupOutcome::Running);
    EXPECT_EQ(parts().T.interval(), 0);
    EXPECT_FALSE(parts().T.isActive());
    EXPECT_FALSE(parts().watch.isActive()); // no check asks for a tick either
    EXPECT_TRUE(logText().contains(QStringLiteral("kuyruk okunmuyor")));
    EXPECT_TRUE(messages.entries().isEmpty());
}

TEST_F(StartupTest, FailingRepairOfTheIntervalStopsTheStart) {
    dir.database().exec(QStringLiteral("DROP TABLE AYAR"));

    EXPECT_EQ(start(), StartupOutcome::Stopped);
    ASSERT_EQ(messages.messages().size(), 1);
    EXPECT_TRUE(messages.messages().first().contains(QStringLiteral("AYAR")));
    EXPECT_TRUE(logText().contains(PollKey + QStringLiteral(" okunamadi")));
    EXPECT_FALSE(parts().T.isActive());
    EXPECT_TRUE(fetchDirectories.isEmpty());
}

struct MissingTable {
    const char* table;
    bool queueOpen;
    bool linesOpen;
    bool auxiliaryOpen;
};

class MissingTableTest : public StartupTest, public ::testing::WithParamInterface<MissingTable> {};

TEST_P(MissingTableTest, StopsAtTheFirstStatementThatNamesIt) {
    const MissingTable missing = GetParam();
    dir.database().exec(QStringLiteral("DROP TABLE ") + missing.table);

    EXPECT_EQ(start(), StartupOutcome::Stopped);
    ASSERT_EQ(messages.messages().size(), 1);
    EXPECT_TRUE(messages.messages().first().contains(missing.table));
    EXPECT_EQ(queueOpen(), missing.queueOpen);
    EXPECT_EQ(parts().A.isOpen(), missing.linesOpen);
    EXPECT_EQ(parts().X.isOpen(), missing.auxiliaryOpen);
    EXPECT_TRUE(parts().registry.printers().isEmpty());
    EXPECT_EQ(dir.database().count(QStringLiteral("AYAR")), 0);
    EXPECT_FALSE(parts().T.isActive());
    EXPECT_TRUE(parts().C.isOpen()); // the process lives on, idle
}

INSTANTIATE_TEST_SUITE_P(Steps, MissingTableTest,
                         ::testing::Values(MissingTable{"A_YazimKuyrugu", false, false, false},
                                           MissingTable{"A_AdsIade", true, false, false},
                                           MissingTable{"DEPARTMAN", false, false, false},
                                           MissingTable{"A_Yazicilar", true, true, true}),
                         [](const ::testing::TestParamInfo<MissingTable>& step) {
                             return std::string(step.param.table);
                         });

} // namespace
