#include "core/RegionalSettings.h"
#include "log/DiagnosticLog.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLocale>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

class DiagnosticLogTest : public ::testing::Test {
protected:
    void SetUp() override {
        m_saved = RegionalSettings::current();
        // The day with two digits, as Windows writes it for Turkish, where Qt's own has one.
        RegionalSettings::setCurrent(
            RegionalSettings::fromLocale(QLocale(QLocale::Turkish, QLocale::Turkey)));
    }
    void TearDown() override { RegionalSettings::setCurrent(m_saved); }

    QString logPath() const { return m_dir.filePath(QStringLiteral("velmora.log")); }
    QByteArray contents() const {
        QFile file(logPath());
        file.open(QIODevice::ReadOnly);
        return file.readAll();
    }
    DiagnosticLog makeLog(bool verbose) {
        DiagnosticLog log(logPath(), verbose);
        log.setClock([] { return QDateTime(QDate(2026, 12, 8), QTime(14, 3, 27)); });
        return log;
    }

    QTemporaryDir m_dir;
    RegionalSettings m_saved;
};

TEST_F(DiagnosticLogTest, UnforcedLineOutsideVerboseModeTouchesNothing) {
    makeLog(false).LogLine(QStringLiteral("sessiz"), false);
    EXPECT_FALSE(QFile::exists(logPath()));
}

TEST_F(DiagnosticLogTest, EntryFormatWithCrLfAndNoByteOrderMark) {
    DiagnosticLog log = makeLog(false);
    log.LogLine(QStringLiteral(">> Gonderildi:pdf:mutfak"), true);
    EXPECT_EQ(contents(), QByteArray("08.12.2026 14:03:27->> Gonderildi:pdf:mutfak\r\n"));
}

TEST_F(DiagnosticLogTest, TextIsInTheSystemsEightBitCharacterSet) {
    makeLog(false).LogLine(QStringLiteral("Yazici: Sıcak"), true);
#ifdef Q_OS_WIN
    const QByteArray name = QByteArray("S\xFD") + "cak"; // code page 1254: a Turkish Windows
#else
    const QByteArray name = QByteArray("S\xC4\xB1") + "cak"; // UTF-8
#endif
    EXPECT_EQ(contents(), "08.12.2026 14:03:27-Yazici: " + name + "\r\n");
}

TEST_F(DiagnosticLogTest, VerboseModeWritesUnforcedLinesAndKeepsEarlierOnes) {
    QFile file(logPath());
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("eski satir 1\r\neski satir 2\r\n");
    file.close();

    DiagnosticLog log = makeLog(true);
    log.LogLine(QStringLiteral("bir"), false);
    log.LogLine(QStringLiteral("iki\r\nuc"), false);
    EXPECT_EQ(contents(), QByteArray("eski satir 1\r\neski satir 2\r\n"
                                     "08.12.2026 14:03:27-bir\r\n"
                                     "08.12.2026 14:03:27-iki\r\nuc\r\n"));
}

TEST_F(DiagnosticLogTest, AnEntryNeverContinuesALastLineCutShort) {
    for (const QByteArray& broken : {QByteArray("yarim kalan"), QByteArray("bir\r\niki\r")}) {
        QFile file(logPath());
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(broken);
        file.close();
        makeLog(false).LogLine(QStringLiteral("yeni"), true);
        EXPECT_EQ(contents(), broken + "\r\n08.12.2026 14:03:27-yeni\r\n");
    }
}

TEST_F(DiagnosticLogTest, AFullLogMovesAsideReplacingTheOneBefore) {
    const QString previous = logPath() + QStringLiteral(".1");
    const qint64 entry = QByteArray("08.12.2026 14:03:27-yeni\r\n").size();
    for (const auto& [existing, moved] : {std::pair{DiagnosticLog::kMaxBytes - entry, false},
                                          {DiagnosticLog::kMaxBytes - entry + 1, true}}) {
        for (const auto& [path, size] : {std::pair{logPath(), existing}, {previous, qint64(4)}}) {
            QFile file(path);
            ASSERT_TRUE(file.open(QIODevice::WriteOnly));
            file.write(QByteArray(size - 2, 'x') + "\r\n");
        }
        makeLog(false).LogLine(QStringLiteral("yeni"), true);
        EXPECT_EQ(QFileInfo(logPath()).size(), moved ? entry : existing + entry);
        EXPECT_EQ(QFileInfo(previous).size(), moved ? existing : 4);
    }
}

TEST_F(DiagnosticLogTest, MidnightStampHasNoTime) {
    EXPECT_EQ(DiagnosticLog::TimeStamp(QDateTime(QDate(2026, 12, 8), QTime(0, 0))),
              QStringLiteral("08.12.2026"));
    EXPECT_EQ(DiagnosticLog::TimeStamp(QDateTime(QDate(2026, 12, 8), QTime(0, 0, 0, 1))),
              QStringLiteral("08.12.2026 00:00:00"));
}

TEST_F(DiagnosticLogTest, UnwritableLogIsSwallowedAndTheNextEntryStillArrives) {
    // A directory where the file should be cannot be opened for appending, even by root.
    ASSERT_TRUE(QDir(m_dir.path()).mkdir(QStringLiteral("velmora.log")));
    DiagnosticLog log = makeLog(true);
    EXPECT_NO_THROW(log.LogLine(QStringLiteral("kaybolur"), true));

    ASSERT_TRUE(QDir(m_dir.path()).rmdir(QStringLiteral("velmora.log")));
    log.LogLine(QStringLiteral("gelir"), true);
    EXPECT_EQ(contents(), QByteArray("08.12.2026 14:03:27-gelir\r\n"));
}

TEST_F(DiagnosticLogTest, LogInMissingDirectoryIsSwallowed) {
    DiagnosticLog log(m_dir.filePath(QStringLiteral("yok/velmora.log")), true);
    EXPECT_NO_THROW(log.LogLine(QStringLiteral("x"), true));
}

TEST(DiagnosticLogPath, ExtensionReplacedByLog) {
    EXPECT_EQ(DiagnosticLog::PathForExecutable(QStringLiteral("D:/Srv/print.exe")),
              QStringLiteral("D:/Srv/print.log"));
    EXPECT_EQ(DiagnosticLog::PathForExecutable(QStringLiteral("/opt/velmora/bin/velmora")),
              QStringLiteral("/opt/velmora/bin/velmora.log"));
}

} // namespace
