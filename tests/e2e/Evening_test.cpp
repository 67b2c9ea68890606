#include "support/ExternalTool.h"
#include "support/PdfWords.h"
#include "support/QStringPrinter.h"
#include "support/ServerDirectory.h"
#include "support/ServerProcess.h"
#include "support/TicketLines.h"
#include "terminal/DemoRestaurant.h"

#include <QDate>
#include <QDeadlineTimer>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QMap>
#include <QProcess>
#include <QRegularExpression>
#include <QSet>
#include <QTemporaryDir>
#include <QThread>
#include <gtest/gtest.h>
#include <map>
#include <optional>
#include <string>
#ifndef Q_OS_WIN
#include <sys/stat.h>
#endif

namespace {

// Verbose log, customer names and balances on the bills, no exchange rates; the connection
// is attempted 5 ms after start.
const char* const LocalSettingsFile = "[Font]\r\nFont boyu=10\r\n"
                                      "[Sistem]\r\nAcilista bekleme suresi=5\r\n"
                                      "[Velmora]\r\n"
                                      "Çıktıda cari adı ve bakiyesini yaz=1\r\n"
                                      "Çıktıda adisyon masa bilgilerini yaz=1\r\n"
                                      "Hesap fislerinde doviz kurlarini yaz=0\r\n"
                                      "[BU KISIMDAKI AYARLARI DEGISTIRMEYIN]\r\n"
                                      "Dummy Server (DEGISTIRMEYIN)=0\r\n"
                                      "Verbose mode (DEGISTIRMEYIN)=1\r\n";

// Tickets expected per "pdf:" folder, from the demo evening plus the terrace printer below.
// Production jobs print one ticket per printer with lines in the bill's department:
//   mutfak:    1001 soup and salad, 1002 haydari (its hummus goes to the terrace), 1004 the
//              take-away lahmacun (department 20 sends it to the kitchen), 1005 içli köfte = 4
//   izgara:    1001, 1002, 1003, 1006 = 4
//   bar:       1001, 1002, 1004, 1005, 1006, and 1002's returned ayran = 6
//   bahce-bar: the garden's çay and limonata on 1003 = 1
//   tatli:     1003 baklava, 1006 künefe = 2
//   servis:    the extra printer of 1001 (Adana, karışık), 1003 (kuzu şiş in the garden) and
//              1006 (künefe in the hall) = 3
//   adisyon:   bills 1001 and 1006, split bill 1003, e-adisyon 1001 and the POS slip of 1002
//              (a waiter's copy prints on the bill printer too) = 5
// The terrace printer's system name is not installed: no folder, a log line instead.
const std::map<std::string, int> TicketsPerPrinter = {
    {"adisyon", 5}, {"bahce-bar", 1}, {"bar", 6},   {"izgara", 4},
    {"mutfak", 4},  {"servis", 3},    {"tatli", 2},
};

// Sale lines printed on an extra printer: products with a Servis row in the bill's department.
const QSet<QString> ExtraPrintedLines = {
    QStringLiteral("1001 I01"), QStringLiteral("1001 I07"), // hall: Adana, karışık ızgara
    QStringLiteral("1003 I03"),                             // garden: kuzu şiş
    QStringLiteral("1006 T01"),                             // hall: künefe
};

QString FlagsOf(const RecordSet& row) {
    return QStringLiteral("SIP=%1 YAZ=%2 EKYAZ=%3")
        .arg(row.text(QStringLiteral("SIP")), row.text(QStringLiteral("YAZ")),
             row.text(QStringLiteral("EKYAZ")));
}

// A ticket as pdftotext lays it out: one entry per printed row with its blanks run together,
// empty rows dropped, and a dashed rule written back as its markup "=-". On Windows the ticket
// is only counted: pdftotext is a Linux program whose output Wine cannot hand back.
QStringList TicketText(const QString& pdf) {
#ifdef Q_OS_WIN
    Q_UNUSED(pdf);
    return {};
#else
    const ToolRun run =
        RunTool(QStringLiteral("pdftotext"), {QStringLiteral("-layout"), pdf, QStringLiteral("-")});
    EXPECT_EQ(run.exitCode, 0) << pdf.toStdString() << run.errors.toStdString();
    static const QRegularExpression rule(QStringLiteral("^-{10,}$"));
    QStringList rows;
    for (const QString& row : run.output.split(QLatin1Char('\n'))) {
        const QString text = row.simplified();
        if (rule.match(text).hasMatch())
            rows << QStringLiteral("=-");
        else if (!text.isEmpty())
            rows << text;
    }
    return rows;
#endif
}

#ifndef Q_OS_WIN // Windows compares no ticket texts
// Every printed row of a run, printer by printer, the time of the date rows left out, since
// two runs may print in different minutes.
QStringList AllRows(const QMap<QString, QList<QStringList>>& printed) {
    static const QRegularExpression time(
        QStringLiteral("^(\\d\\d\\.\\d\\d\\.\\d{4}) \\d\\d:\\d\\d$"));
    QStringList rows;
    for (auto printer = printed.cbegin(); printer != printed.cend(); ++printer) {
        for (const QStringList& ticket : printer.value())
            rows << QStringLiteral("[%1]").arg(printer.key()) << ticket;
    }
    return rows.replaceInStrings(time, QStringLiteral("\\1"));
}
#endif

// The demo restaurant's evening, run by the real server installed in a directory of its own on
// a Turkish machine without a desktop: through the embedded provider, and through ODBC with
// SQLite's driver, the closest these machines come to SQL Server.
class EveningTest : public ::testing::Test {
protected:
    void SetUp() override {
        environment = QProcessEnvironment::systemEnvironment();
        for (const QString& name : environment.keys()) {
            if (name.startsWith(QLatin1String("LC_")) || name == QLatin1String("LANGUAGE"))
                environment.remove(name);
        }
        environment.insert(QStringLiteral("LANG"), QStringLiteral("tr_TR.UTF-8"));
        environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
        environment.insert(QStringLiteral("XDG_RUNTIME_DIR"), runtime.path());
    }

    void TearDown() override {
        for (QProcess* process : {&server, &secondCopy}) {
            if (process->state() != QProcess::NotRunning) {
                process->kill();
                process->waitForFinished(5000);
            }
        }
    }

    // A fresh restaurant in a fresh directory, reached through the embedded provider or through
    // ODBC with SQLite's driver, which the server tells apart by the name the connection reports.
    void Seed(bool throughOdbc) {
        dir.emplace();
        printed.clear();
        serverPath = InstallServer(QStringLiteral(VELMORA_EXECUTABLE), dir->path());
        ASSERT_FALSE(serverPath.isEmpty());
        dir->write(QStringLiteral("Velmora.ini"), LocalSettingsFile);
        if (throughOdbc) {
            dir->write(QStringLiteral("Database.ini"),
                       "[Database]\r\nCustomConnStr=Driver=SQLite3;Database=" +
                           dir->database().filePath().toLocal8Bit() + "\r\n");
        }

        TestDatabase& db = dir->database();
        DemoRestaurant::Seed(db.session(), QStringLiteral("printers"));
        // A terrace printer registered under a system name this machine does not have; the
        // hall's hummus is plated there.
        db.exec(QStringLiteral("INSERT INTO A_Yazicilar VALUES ('Teras', 'TERAS-YAZICISI')"));
        db.exec(QStringLiteral("INSERT INTO URUNYAZICI VALUES ('M02', '1', 'Teras')"));
        // The hall's Adana is typed "IZGARA", met before the mixed grill's registered "Izgara":
        // both are the grill, also under Turkish case rules.
        db.exec(QStringLiteral("INSERT INTO URUNYAZICI VALUES ('I01', '1', 'IZGARA')"));
        ASSERT_EQ(DemoRestaurant::QueueEvening(db.session()), 12);
    }

    // The server through the whole queue, then stopped as the system stops it.
    void RunEvening(bool withSecondCopy) {
#ifndef Q_OS_WIN
        // A desktop session's umask, which lets every account read what it creates.
        const mode_t sessionMask = ::umask(022);
        start(server, serverPath);
        ::umask(sessionMask);
#else
        start(server, serverPath);
#endif
        ASSERT_TRUE(waitForQueue(11, 20000)) << server.readAllStandardError().toStdString();
        if (withSecondCopy)
            expectSecondCopyEndsAtOnce();
        // 25 tickets, each followed by the engine's one-second pause, in 12 ticks a second apart.
        ASSERT_TRUE(waitForQueue(0, 120000))
            << queuedJobs() << " jobs left; " << server.readAllStandardError().toStdString();

        StopServer(server);
        EXPECT_EQ(server.readAllStandardError(), QByteArray());
#ifndef Q_OS_WIN
        // The evening's bills are nobody else's.
        EXPECT_EQ(QFile::permissions(dir->filePath(QStringLiteral("velmora-gunluk.db"))) &
                      (QFile::ReadOther | QFile::WriteOther),
                  QFile::Permissions());
#endif
        expectLineFlags();
        expectMissingPrinterLogged();
        readPrintedTickets();
    }

    void start(QProcess& process, const QString& executable) {
        process.setProcessEnvironment(environment);
        process.setWorkingDirectory(runtime.path()); // its files are found beside it
        process.start(executable, {});
        ASSERT_TRUE(process.waitForStarted(5000));
    }

    int queuedJobs() {
        return dir->database().count(QStringLiteral("A_YazimKuyrugu"));
    }

    // False when the time is up or the server has ended first.
    bool waitForQueue(int atMost, int milliseconds) {
        QDeadlineTimer deadline(milliseconds);
        while (queuedJobs() > atMost) {
            if (deadline.hasExpired() || server.state() == QProcess::NotRunning)
                return false;
            QThread::msleep(200);
        }
        return true;
    }

    // Another copy of the same installation, started from another user's session (a runtime
    // directory of its own, where anything it wrote would show): it must end at once, saying
    // so, and write nothing there, or every ticket would print twice.
    void expectSecondCopyEndsAtOnce() {
        QTemporaryDir otherRuntime;
        const QProcessEnvironment ownSession = environment;
        environment.insert(QStringLiteral("XDG_RUNTIME_DIR"), otherRuntime.path());
        QElapsedTimer clock;
        clock.start();
        start(secondCopy, serverPath);
        environment = ownSession;
        ASSERT_TRUE(secondCopy.waitForFinished(2000));
        EXPECT_LT(clock.elapsed(), 2000);
        EXPECT_EQ(secondCopy.exitStatus(), QProcess::NormalExit);
        EXPECT_EQ(secondCopy.exitCode(), 1);
        EXPECT_EQ(secondCopy.readAllStandardOutput(), QByteArray());
        EXPECT_TRUE(secondCopy.readAllStandardError().startsWith("Velmora zaten calisiyor"));
        EXPECT_EQ(QDir(otherRuntime.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot),
                  QStringList());
        EXPECT_EQ(server.state(), QProcess::Running);
    }

    // Every sale line was sent (SIP=1) and taken for its production printer (YAZ=1), the
    // terrace's hummus too although its printer is missing; the quick-sale table "ZH" keeps
    // YAZ=0 for its bill. EKYAZ=1 only where the bill's department gives an extra printer.
    void expectLineFlags() {
        RecordSet lines = dir->database().session().Select(
            QStringLiteral("SELECT S.FISID, S.URUNKODU, S.SIP, S.YAZ, S.EKYAZ, A.MASANO FROM "
                           "A_AdsSatir S JOIN A_Adisyon A ON A.ID = S.FISID"));
        EXPECT_EQ(lines.recordCount(), 5 + 4 + 5 + 2 + 2 + 3); // bills 1001 to 1006
        for (lines.First(); !lines.Eof(); lines.Next()) {
            const QString line = lines.text(QStringLiteral("FISID")) + QLatin1Char(' ') +
                                 lines.text(QStringLiteral("URUNKODU"));
            const bool quickSale = lines.text(QStringLiteral("MASANO")) == QLatin1String("ZH");
            EXPECT_EQ(FlagsOf(lines), QStringLiteral("SIP=1 YAZ=%1 EKYAZ=%2")
                                          .arg(quickSale ? 0 : 1)
                                          .arg(ExtraPrintedLines.contains(line) ? 1 : 0))
                << line.toStdString();
        }

        RecordSet returned = dir->database().session().Select(
            QStringLiteral("SELECT FISID, URUNKODU, SIP, YAZ, EKYAZ FROM A_AdsIade"));
        ASSERT_EQ(returned.recordCount(), 1);
        returned.First();
        EXPECT_EQ(returned.text(QStringLiteral("URUNKODU")), QStringLiteral("B01"));
        EXPECT_EQ(FlagsOf(returned), QStringLiteral("SIP=1 YAZ=1 EKYAZ=0"));
    }

    // Every ticket the "pdf:" printers wrote, per printer, oldest first. Each is readable:
    // nothing printed over other text, and its page as long as the ticket, the kitchen's short.
    void readPrintedTickets() {
        const QDir printers(dir->filePath(QStringLiteral("printers")));
        for (const QString& printer : printers.entryList(QDir::Dirs | QDir::NoDotAndDotDot)) {
            const QDir folder(printers.filePath(printer));
            QList<QStringList>& tickets = printed[printer];
            for (const QString& name :
                 folder.entryList({QStringLiteral("*.pdf")}, QDir::Files, QDir::Name)) {
                tickets << TicketText(folder.filePath(name));
                const PdfPage page = ReadPdfPage(folder.filePath(name));
                EXPECT_FALSE(page.hasTextOverText()) << tickets.last().join('|').toStdString();
                if (printer == QLatin1String("mutfak")) {
                    EXPECT_LT(page.height, 100 / 25.4 * 203) << name.toStdString();
                }
            }
        }
    }

    // The one ticket of the printer that has the row.
    QStringList ticketWith(const QString& printer, const QString& row) const {
        QList<QStringList> found;
        for (const QStringList& ticket : printed.value(printer)) {
            if (ticket.contains(row))
                found << ticket;
        }
        EXPECT_EQ(found.size(), 1) << printer.toStdString() << ": " << row.toStdString();
        return found.value(0);
    }

    // The ticket's date and time row as Windows writes a Turkish short date ("08.12.2026 21:40").
    QString dateRow(const QStringList& ticket) const {
        for (const QDate& day : {started, QDate::currentDate()}) {
            const QRegularExpression pattern(
                QLatin1Char('^') +
                QRegularExpression::escape(day.toString(QStringLiteral("dd.MM.yyyy"))) +
                QStringLiteral(" \\d\\d:\\d\\d$"));
            for (const QString& row : ticket) {
                if (pattern.match(row).hasMatch())
                    return row;
            }
        }
        ADD_FAILURE() << "no date row in " << ticket.join(QLatin1Char('|')).toStdString();
        return QString();
    }

    void expectTicketsPerPrinter() {
        std::map<std::string, int> counts;
        for (auto printer = printed.cbegin(); printer != printed.cend(); ++printer)
            counts[printer.key().toStdString()] = int(printer.value().size());
        EXPECT_EQ(counts, TicketsPerPrinter);
    }

    void expectKitchenTickets() {
        const QStringList kitchen =
            ticketWith(QStringLiteral("mutfak"), QStringLiteral("Sipariş No: 1001"));
        EXPECT_TRUE(HasLines(kitchen, Lines("URETIM FISI|Sipariş No: 1001")
                                          << dateRow(kitchen)
                                          << Lines("Salon - 5|Ahmet Yılmaz|Doğum günü masası|=-|"
                                                   "AD. URUN ACIKLAMA|=-|2 Mercimek Çorbası|"
                                                   "1 Çoban Salata|Soğansız")));
        EXPECT_TRUE(
            HasLines(ticketWith(QStringLiteral("izgara"), QStringLiteral("Sipariş No: 1001")),
                     Lines("=-|2 Adana Kebap|Acılı|1 Karışık Izgara")));
        // The hummus of 1002 went to the terrace, the haydari to the kitchen.
        const QStringList withoutHummus =
            ticketWith(QStringLiteral("mutfak"), QStringLiteral("Sipariş No: 1002"));
        EXPECT_TRUE(HasLines(withoutHummus, Lines("AD. URUN ACIKLAMA|=-|1 Haydari")));
        EXPECT_FALSE(withoutHummus.contains(QStringLiteral("1 Humus")));
        EXPECT_TRUE(HasLines(ticketWith(QStringLiteral("bar"), QStringLiteral("Hızlı Satış - ZH")),
                             Lines("=-|1 Türk Kahvesi|Orta şekerli")));

        // The extra printer gets the extra note in place of the product, the line's note at the
        // right.
        const QStringList extra =
            ticketWith(QStringLiteral("servis"), QStringLiteral("2 Adana tabağı, közlenmiş biber"));
        EXPECT_EQ(extra.value(0), QStringLiteral("ÜRETIM FISI"));
        EXPECT_TRUE(HasLines(extra, Lines("Salon - 5|Ahmet Yılmaz|=-|AD. URUN ACIKLAMA|=-|"
                                          "2 Adana tabağı, közlenmiş biber|Acılı|"
                                          "1 Karışık tabak, lavaş")));

        // The returned ayran goes back to the bar that poured it, and only there.
        const QStringList cancellation =
            ticketWith(QStringLiteral("bar"), QStringLiteral("!!! IPTAL !!!"));
        EXPECT_TRUE(HasLines(cancellation, Lines("!!! IPTAL !!!|Sipariş No: 1002")
                                               << dateRow(cancellation)
                                               << Lines("Salon - 12|Elif Kaya|=-|AD. URUN ACIKLAMA|"
                                                        "=-|1 Ayran|!!!IPTAL!!!")));
        int cancellations = 0;
        for (const QList<QStringList>& tickets : printed) {
            for (const QStringList& ticket : tickets)
                cancellations += ticket.count(QStringLiteral("!!! IPTAL !!!"));
        }
        EXPECT_EQ(cancellations, 1);
    }

    // Amounts with the Turkish decimal comma: the card payment 900.5, the service 5% of
    // 2000 - 190 = 90.5, the total 1900.5; customer C001's balance 2500 - 1840.5 = 659.5.
    void expectBillsAndSlips() {
        const QString adisyon = QStringLiteral("adisyon");
        const QStringList bill = ticketWith(adisyon, QStringLiteral("No:1001"));
        EXPECT_TRUE(HasLines(bill, Lines("No:1001")
                                       << dateRow(bill)
                                       << Lines("Salon - 5 - Ahmet Yılmaz|AD. URUN B.FIYAT|=-|"
                                                "2 Mercimek Çorbası 180 TL|2 Adana Kebap 840 TL|"
                                                "Acılı")));
        EXPECT_TRUE(HasLines(bill, Lines("Toplam : 2000 TL|Indirim : %10|>-190 TL|"
                                         "Servis : %5 90,5 TL|Nakit: 1000 TL|"
                                         "K.Karti: 900,5 TL|Genel Toplam:|1900,5 TL|"
                                         "İlk Bakiye: 2000 TL|Kalan Bakiye: 0 TL|=-|"
                                         "Yine bekleriz!|MALİ DEĞERİ YOKTUR")));
        EXPECT_TRUE(HasLines(bill, Lines("Belge No: 0000000010016|=-|Teşekkür Ederiz")));

        const QStringList customerBill = ticketWith(adisyon, QStringLiteral("No:1006"));
        EXPECT_TRUE(HasLines(customerBill, Lines("Kara Lojistik A.Ş.|No:1006")));
        EXPECT_TRUE(HasLines(customerBill, Lines("Cari: 1040 TL|Genel Toplam:|1040 TL|"
                                                 "İlk Bakiye: 1699,5 TL|Kalan Bakiye: 659,5 TL")));
        EXPECT_TRUE(customerBill.contains(QStringLiteral("Belge No: 0000000010061")));

        // Sub-account 2 of the garden: kuzu şiş, limonata and baklava, not the friend's share.
        const QStringList split = ticketWith(adisyon, QStringLiteral("Ads No: 1003"));
        EXPECT_TRUE(HasLines(split, Lines("Lokanta Velmora")
                                        << dateRow(split)
                                        << Lines("Ads No: 1003|Bahçe - B3 - Mehmet Demir|"
                                                 "Hesap : 2, Kişi başı|AD. BIRIM URUN TUTAR|=-|"
                                                 "1 PORS Kuzu Şiş 520 TL")));
        EXPECT_TRUE(split.contains(QStringLiteral("1 PORS Fıstıklı Baklava 240 TL")));
        EXPECT_TRUE(HasLines(split, Lines("Toplam : 840 TL|Indirim : %0 TL|Servis : %0 TL|"
                                          "Genel Toplam :")));
        EXPECT_FALSE(split.join(QLatin1Char('|')).contains(QStringLiteral("Tavuk Şiş")));

        const QString ettn = dir->database()
                                 .scalar(QStringLiteral("SELECT ALAN FROM A_Adisyon WHERE ID=1001"))
                                 .toString();
        const QStringList eadisyon = ticketWith(adisyon, QStringLiteral("Eadisyon Bilgi Fişi"));
        EXPECT_TRUE(
            HasLines(eadisyon, Lines("Lokanta Velmora|Eadisyon Bilgi Fişi|Fiş No:1001|ETTN:")));
        // The 36 characters of the ETTN are wider than the paper: the rest follows on a row.
        const qsizetype ettnRow = eadisyon.indexOf(QStringLiteral("ETTN:")) + 1;
        EXPECT_EQ(eadisyon.value(ettnRow) + eadisyon.value(ettnRow + 1), ettn);
        EXPECT_TRUE(HasLines(eadisyon, QStringList{QStringLiteral("Eadisyon No:VLM2026000001001"),
                                                   dateRow(eadisyon),
                                                   QStringLiteral("Salon - 5 - Ahmet Yılmaz")}));
        EXPECT_TRUE(HasLines(eadisyon, Lines("Toplam : 2000 TL|Indirim : %10 190 TL|"
                                             "Servis : %5 90,5 TL|Nakit: 1000 TL|"
                                             "K.Karti: 900,5 TL|Genel Toplam:|1900,5 TL|=-|"
                                             "MALİ DEĞERİ YOKTUR")));

        // The waiter's copy of table 12's slip; the hummus is on it though its printer is missing.
        const QStringList pos = ticketWith(adisyon, QStringLiteral("POS HESAP FİŞİ"));
        EXPECT_TRUE(HasLines(pos, Lines("Lokanta Velmora|=-|POS HESAP FİŞİ|Fiş No:1002|"
                                        "FaturaETTN:|FaturaNo:")
                                      << dateRow(pos)
                                      << Lines("Salon - 12 - Elif Kaya|-- GARSON NUSHASI --|"
                                               "AD. URUN B.FIYAT|=-|1 Humus 95 TL")));
        EXPECT_TRUE(HasLines(pos, Lines("Toplam : 1300 TL|Nakit: 1300 TL|Genel Toplam:|1300 TL|=-|"
                                        "Pos Bilgi fişi|MALİ DEĞERİ YOKTUR")));
    }

    void expectMissingPrinterLogged() {
        const QStringList missing = dir->lines(QStringLiteral("velmora.log"))
                                        .filter(QStringLiteral("-Yazici Bulunamadi -- FisID:"));
        ASSERT_EQ(missing.size(), 1) << missing.join(QLatin1Char('|')).toStdString();
        EXPECT_TRUE(missing.first().endsWith(
            QStringLiteral("-Yazici Bulunamadi -- FisID:1002 Yazici: TERAS-YAZICISI")))
            << missing.first().toStdString();
    }

    std::optional<ServerDirectory> dir;
    QString serverPath;
    QTemporaryDir runtime;
    QProcessEnvironment environment;
    QProcess server;
    QProcess secondCopy;
    QMap<QString, QList<QStringList>> printed;
    const QDate started = QDate::currentDate();
};

TEST_F(EveningTest, TheRealServerPrintsTheWholeEveningOnATurkishMachineThroughEitherConnection) {
    ASSERT_NO_FATAL_FAILURE(Seed(false));
    ASSERT_NO_FATAL_FAILURE(RunEvening(true));
    expectTicketsPerPrinter();
#ifndef Q_OS_WIN // the ticket texts come from pdftotext
    expectKitchenTickets();
    expectBillsAndSlips();
#endif
#ifndef Q_OS_WIN // no SQLite ODBC driver on Windows, and the texts come from pdftotext
    const QStringList embedded = AllRows(printed);

    ASSERT_NO_FATAL_FAILURE(Seed(true));
    ASSERT_NO_FATAL_FAILURE(RunEvening(false));
    ExpectTicket(AllRows(printed), embedded);
#endif
}

} // namespace
