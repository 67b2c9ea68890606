#include "config/PollInterval.h"
#include "config/SettingsStore.h"
#include "db/Query.h"
#include "log/DiagnosticLog.h"
#include "support/QStringPrinter.h"
#include "support/TestDatabase.h"

#include <QFile>
#include <gtest/gtest.h>

namespace {

const QString Key = QStringLiteral("Server calisma araligi (x snde bir)");

class PollIntervalTest : public ::testing::Test {
protected:
    void store(const QString& value) {
        db.exec(QStringLiteral("INSERT INTO AYAR VALUES ('POS', 'Sistem', '%1', '%2')")
                    .arg(Key, value));
    }
    QString stored() {
        return db
            .scalar(QStringLiteral("SELECT Deger FROM AYAR WHERE Modul='POS' AND "
                                   "Bolum='Sistem' AND Ayar='%1'")
                        .arg(Key))
            .toString();
    }
    QString logText() const {
        QFile file(log.filePath());
        return file.open(QIODevice::ReadOnly) ? QString::fromLocal8Bit(file.readAll()) : QString();
    }

    TestDatabase db;
    Query X{db.session(), QStringLiteral("X")};
    SettingsStore settings{X};
    DiagnosticLog log{db.directory() + QStringLiteral("/velmora.log")};
};

TEST_F(PollIntervalTest, WholeSecondsBecomeMilliseconds) {
    for (const auto& [value, milliseconds] :
         {std::pair{"5", 5000}, {"10", 10000}, {"+7", 7000}, {"0", 0}}) {
        db.exec(QStringLiteral("DELETE FROM AYAR"));
        store(value);
        EXPECT_EQ(ReadPollInterval(settings, log), milliseconds) << value;
        EXPECT_EQ(stored(), QString::fromLatin1(value));
    }
    EXPECT_TRUE(logText().isEmpty());
}

TEST_F(PollIntervalTest, UnusableValueKeepsTwoSecondsAndRepairsTheRowThatWasRead) {
    for (const char* value : {"abc", "", "-3", "2.5", "5 sn", "3000000"}) {
        db.exec(QStringLiteral("DELETE FROM AYAR"));
        store(QString::fromLatin1(value));
        EXPECT_EQ(ReadPollInterval(settings, log), 2000) << value;
        EXPECT_EQ(stored(), QStringLiteral("2")) << value;
        EXPECT_TRUE(logText().contains(QStringLiteral("\"%1\" gecerli bir sure degil").arg(value)))
            << value;
    }
    EXPECT_EQ(db.count(QStringLiteral("AYAR")), 1); // no "POS Genel" row beside it
}

} // namespace
