#include "config/IniFile.h"
#include "core/Error.h"
#include "support/TurkishLocale.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QThread>
#include <gtest/gtest.h>
#include <thread>

namespace {

class IniFileTest : public ::testing::Test {
protected:
    QString path(const QString& base = QStringLiteral("Test")) const {
        return QDir(m_dir.path()).filePath(base + QStringLiteral(".ini"));
    }
    void writeRaw(const QByteArray& bytes, const QString& base = QStringLiteral("Test")) const {
        QFile file(path(base));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(bytes);
    }
    QByteArray readRaw(const QString& base = QStringLiteral("Test")) const {
        QFile file(path(base));
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }
    QString read(const QString& section, const QString& key,
                 const QString& defaultValue = QStringLiteral("#NULL#")) {
        return m_ini.IniReadString(QStringLiteral("Test"), section, key, defaultValue);
    }

    QTemporaryDir m_dir;
    IniFiles m_ini{m_dir.path()};
};

TEST_F(IniFileTest, LookupIgnoresCaseTrimsAndStripsOnePairOfQuotes) {
    writeRaw("[Database]\r\n"
             "  Server  =  HOST\\SQLExpress  \r\n"
             "Quoted=\" padded \"\r\n"
             "Single='x'\r\n"
             "Mixed=\"x'\r\n"
             "Twice=\"\"x\"\"\r\n"
             "Empty=\r\n"
             "[Other]\r\n"
             "Server=wrong\r\n");
    EXPECT_EQ(read("database", "SERVER"), "HOST\\SQLExpress");
    EXPECT_EQ(read("Database", "quoted"), " padded ");
    EXPECT_EQ(read("Database", "Single"), "x");
    EXPECT_EQ(read("Database", "Mixed"), "\"x'");
    EXPECT_EQ(read("Database", "Twice"), "\"x\"");
    // Present with an empty value: the default neither applies nor gets written.
    EXPECT_EQ(read("Database", "Empty", "fallback"), "");
    EXPECT_EQ(read("Other", "Server"), "wrong");
    EXPECT_FALSE(readRaw().contains("fallback"));
}

// Names fold as in the C locale whatever the regional settings: Turkish folding would keep
// "I" from matching "i".
TEST_F(IniFileTest, LookupIgnoresCaseTheSameWayUnderTurkishSettings) {
    writeRaw("[BU KISIMDAKI AYARLARI DEGISTIRMEYIN]\r\nVerbose mode (DEGISTIRMEYIN)=1\r\n"
             "[Yazdirma]\r\nBITIS YAZISI=Afiyet olsun\r\n");
    const TurkishLocale turkish;
    EXPECT_EQ(read("bu kisimdaki ayarlari degistirmeyin", "VERBOSE MODE (degistirmeyin)"), "1");
    EXPECT_EQ(read("YAZDIRMA", "Bitis yazisi"), "Afiyet olsun");
    m_ini.IniWriteString("Test", "yazdirma", "bitis yazisi", "Yine bekleriz");
    EXPECT_EQ(read("Yazdirma", "BITIS YAZISI"), "Yine bekleriz");
    EXPECT_FALSE(readRaw().contains("bitis yazisi"));
}

TEST_F(IniFileTest, ValuesAreCutAt2047Characters) {
    const QByteArray longValue(3000, 'a');
    writeRaw("[S]\nLong=" + longValue + "\nQuoted=\"" + QByteArray(2046, 'b') + "c\"\n");
    EXPECT_EQ(read("S", "Long"), QString(2047, QLatin1Char('a')));
    // The quotes go before the cut.
    EXPECT_EQ(read("S", "Quoted"), QString(2046, QLatin1Char('b')) + "c");
}

TEST_F(IniFileTest, MissingKeyWritesItsDefaultUnlessNullMarker) {
    EXPECT_EQ(read("S", "Custom", "#NULL#"), "#NULL#");
    EXPECT_FALSE(QFile::exists(path()));
    // Only the exact marker suppresses the write.
    EXPECT_EQ(read("S", "Key", "#null#"), "#null#");
    EXPECT_TRUE(readRaw().contains("[S]"));
    EXPECT_TRUE(readRaw().contains("Key=#null#"));
}

TEST_F(IniFileTest, MalformedFilesAreReadWithoutHarm) {
    static const char junkBytes[] = "\xEF\xBB\xBF[Database]\r\n"
                                    "no equals sign here\r\n"
                                    "\r\n"
                                    "=value without key\r\n"
                                    "\x00\x01\x02 binary \xFF\xFE\r\n"
                                    "[broken section\r\n"
                                    "User=sa\r\n"
                                    "Pass=a=b\r\n";
    const QByteArray junk(junkBytes, sizeof(junkBytes) - 1);
    writeRaw(junk);
    EXPECT_EQ(read("Database", "User"), "sa");
    EXPECT_EQ(read("Database", "Pass"), "a=b");
    EXPECT_EQ(read("Database", "no equals sign here", "x"), "x");
    EXPECT_EQ(readRaw(), junk + "no equals sign here=x\r\n");

    QByteArray random;
    for (int i = 0; i < 4096; ++i)
        random.append(char((i * 7919 + 13) % 256));
    writeRaw(random, "Random");
    EXPECT_EQ(m_ini.IniReadString("Random", "S", "K", "#NULL#"), "#NULL#");
}

TEST_F(IniFileTest, WriteReplacesTheKeyLineAndKeepsEveryOtherByte) {
    const QByteArray before("; hand-written\r\n"
                            "[Database]\r\n"
                            "  server = old \r\n"
                            "junk line\r\n"
                            "Database=KESTROVA_2025\r\n"
                            "\r\n"
                            "[Next]\r\n"
                            "Server=untouched");
    writeRaw(before);
    m_ini.IniWriteString("Test", "DATABASE", "Server", "NEW\\SQLExpress");
    QByteArray expected = before;
    expected.replace("  server = old \r\n", "server=NEW\\SQLExpress\r\n");
    EXPECT_EQ(readRaw(), expected);
}

TEST_F(IniFileTest, NewKeyGoesAtTheEndOfItsSectionInTheFileLineEndingStyle) {
    writeRaw("[A]\nOne=1\n\n; comment of B\n[B]\nTwo=2\n\n\n[A]\nLater=x\n");
    m_ini.IniWriteString("Test", "a", "Three", "3");
    m_ini.IniWriteString("Test", "B", "Four", "4");
    EXPECT_EQ(readRaw(),
              QByteArray("[A]\nOne=1\nThree=3\n\n; comment of B\n[B]\nTwo=2\nFour=4\n\n\n"
                         "[A]\nLater=x\n"));

    writeRaw("[A]\r\nOne=1", "Crlf");
    m_ini.IniWriteString("Crlf", "A", "Two", "2");
    m_ini.IniWriteString("Crlf", "New", "Key", "v");
    EXPECT_EQ(readRaw("Crlf"), QByteArray("[A]\r\nOne=1\r\nTwo=2\r\n\r\n[New]\r\nKey=v\r\n"));
}

TEST_F(IniFileTest, ByteOrderMarkFileStaysUtf8) {
    writeRaw("\xEF\xBB\xBF[Velmora]\nAd=\xC3\x87\x61y\n");
    EXPECT_EQ(read("Velmora", "Ad"), QString::fromUtf8("Çay"));
    m_ini.IniWriteString("Test", "Velmora", "Yeni", QString::fromUtf8("Şiş"));
    EXPECT_EQ(readRaw(),
              QByteArray("\xEF\xBB\xBF[Velmora]\nAd=\xC3\x87\x61y\nYeni=\xC5\x9Ei\xC5\x9F\n"));
}

TEST_F(IniFileTest, WriteFailureNamesTheFileAndLeavesNothingBehind) {
    IniFiles missingDirectory(QDir(m_dir.path()).filePath("absent"));
    try {
        missingDirectory.IniWriteString("Database", "Database", "Server", "x");
        FAIL() << "no error";
    } catch (const IniFileError& error) {
        EXPECT_TRUE(error.message().contains("Database.ini")) << error.message().toStdString();
    }
    // A missing key's default cannot be written either: the read reports it.
    EXPECT_THROW(missingDirectory.IniReadString("Database", "Database", "User", "sa"),
                 IniFileError);
    EXPECT_THROW(missingDirectory.IniReadInt("Font", "Font boyu", 10), IniFileError);

    ASSERT_TRUE(QDir(m_dir.path()).mkdir("Blocked.ini"));
    EXPECT_THROW(m_ini.IniReadString("Blocked", "S", "K", "d"), IniFileError);
    EXPECT_EQ(QDir(m_dir.path()).entryList(QDir::Files), QStringList());
}

TEST_F(IniFileTest, WriteLandsWhileAnotherProgramHasTheFileOpen) {
    writeRaw("[S]\r\nK=old\r\n");
    QFile reader(path());
    ASSERT_TRUE(reader.open(QIODevice::ReadOnly));
    // Windows refuses to replace a file that is open; the reader lets go after a moment.
    std::thread release([&reader] {
        QThread::msleep(200);
        reader.close();
    });
    EXPECT_NO_THROW(m_ini.IniWriteString("Test", "S", "K", "new"));
    release.join();
    EXPECT_EQ(readRaw(), QByteArray("[S]\r\nK=new\r\n"));
}

TEST_F(IniFileTest, ReadIntAcceptsSignedDecimalsAndRepairsTheRest) {
    writeRaw("[Font]\nFont boyu=12pt\n[Bosluk]\nSol=-3\nSag=+4\nUst= 7 \nAlt=0x10\n"
             "[Sistem]\nBuyuk=99999999999\n",
             "Velmora");
    EXPECT_EQ(m_ini.IniReadInt("Font", "Font boyu", 10), 10);
    EXPECT_EQ(m_ini.IniReadInt("Bosluk", "Sol", 0), -3);
    EXPECT_EQ(m_ini.IniReadInt("Bosluk", "Sag", 0), 4);
    EXPECT_EQ(m_ini.IniReadInt("Bosluk", "Ust", 0), 7);
    EXPECT_EQ(m_ini.IniReadInt("Bosluk", "Alt", 1), 1);
    EXPECT_EQ(m_ini.IniReadInt("Sistem", "Buyuk", 5), 5);
    EXPECT_EQ(m_ini.IniReadInt("Sistem", "Acilista bekleme suresi", 5), 5);
    EXPECT_EQ(readRaw("Velmora"),
              QByteArray("[Font]\nFont boyu=10\n[Bosluk]\nSol=-3\nSag=+4\nUst= 7 \nAlt=1\n"
                         "[Sistem]\nBuyuk=5\nAcilista bekleme suresi=5\n"));
}

} // namespace
