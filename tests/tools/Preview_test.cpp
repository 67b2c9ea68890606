#include "support/ExternalTool.h"
#include "support/QStringPrinter.h"
#include "support/ServerDirectory.h"
#include "terminal/DemoRestaurant.h"
#include "terminal/Terminal.h"

#include <QDir>
#include <QFile>
#include <QRectF>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <utility>

namespace {

const qint64 kBill = 2001;

// What a preview must leave as it was: every line's flags, the queue and the settings.
QStringList DatabaseState(TestDatabase& db) {
    QStringList rows;
    for (const char* statement :
         {"SELECT 'A', ID, SIP, YAZ, EKYAZ FROM A_AdsSatir ORDER BY ID",
          "SELECT 'I', ID, SIP, YAZ, EKYAZ FROM A_AdsIade ORDER BY ID",
          "SELECT 'Q', ID, Tur, AdisyonID, GarsonKodu FROM A_YazimKuyrugu ORDER BY ID",
          "SELECT Modul, Bolum, Ayar, Deger FROM AYAR ORDER BY Bolum, Ayar"}) {
        RecordSet set = db.session().Select(QString::fromLatin1(statement));
        for (set.First(); !set.Eof(); set.Next()) {
            QStringList values;
            for (const QString& column : set.columns())
                values << set.text(column);
            rows << values.join(QLatin1Char('|'));
        }
    }
    return rows;
}

// The preview's PNG files and the tests' reading of the PDF files need poppler's programs,
// which only the Linux side has.
#ifndef Q_OS_WIN
// Where pdftotext finds a word on the first page, in points.
QRectF WordBox(const QString& pdfPath, const QString& word) {
    const QString boxes = RunTool(QStringLiteral("pdftotext"),
                                  {QStringLiteral("-bbox"), pdfPath, QStringLiteral("-")})
                              .output;
    const QRegularExpression pattern(
        QStringLiteral(R"re(xMin="([0-9.-]+)" yMin="([0-9.-]+)" xMax="([0-9.-]+)" )re"
                       R"re(yMax="([0-9.-]+)">%1</word>)re")
            .arg(word));
    const QRegularExpressionMatch match = pattern.match(boxes);
    if (!match.hasMatch())
        return QRectF();
    return QRectF(QPointF(match.captured(1).toDouble(), match.captured(2).toDouble()),
                  QPointF(match.captured(3).toDouble(), match.captured(4).toDouble()));
}
#endif

// The demo restaurant with table 9 in the hall: one dish already sent, four new ones for the
// kitchen, the grill (with the pass's extra ticket), the bar and a pastry printer that the
// registry does not know. Velmora.ini names only the font size.
class PreviewTest : public ::testing::Test {
protected:
    void SetUp() override {
        TestDatabase& db = dir.database();
        DemoRestaurant::Seed(db.session());
        db.addProduct(QStringLiteral("P01"), QStringLiteral("Profiterol"), QStringLiteral("Pasta"));
        Terminal terminal(db.session());
        terminal.OpenBill({kBill, QStringLiteral("1"), QStringLiteral("9"), {}, {}});
        const qint64 sent = terminal.Order(kBill, {QStringLiteral("M02"), 1, 95, {}, 0});
        db.exec(QStringLiteral("UPDATE A_AdsSatir SET SIP=1, YAZ=1 WHERE ID=%1").arg(sent));
        terminal.Order(kBill, {QStringLiteral("C01"), 2, 180, {}, 0});
        terminal.Order(kBill, {QStringLiteral("I01"), 1, 420, QStringLiteral("Acılı"), 0});
        terminal.Order(kBill, {QStringLiteral("B01"), 3, 120, {}, 0});
        terminal.Order(kBill, {QStringLiteral("P01"), 1, 150, {}, 0});
        job = terminal.Queue({kBill, QStringLiteral("0"), QStringLiteral("1"), {}, {}, {}});
        dir.write(QStringLiteral("Velmora.ini"), "[Font]\r\nFont boyu=12\r\n");
    }

    ToolRun preview(QStringList arguments) {
        arguments << QStringLiteral("--dir") << dir.path() << QStringLiteral("--out") << out.path();
        return RunTool(QStringLiteral(VELMORA_PREVIEW_EXECUTABLE), arguments);
    }
    ToolRun previewJob(qint64 id) {
        return preview({QStringLiteral("--job"), QString::number(id)});
    }

    QStringList ticketFiles() const {
        return QDir(out.path())
            .entryList({QStringLiteral("[0-9]*-*.pdf"), QStringLiteral("[0-9]*-*.png")},
                       QDir::Files, QDir::Name);
    }
    QString pdfText(const QString& name) const {
        return RunTool(QStringLiteral("pdftotext"),
                       {QStringLiteral("-layout"), QDir(out.path()).filePath(name),
                        QStringLiteral("-")})
            .output;
    }

    ServerDirectory dir;
    QTemporaryDir out;
    qint64 job = 0;
};

#ifndef Q_OS_WIN // poppler
TEST_F(PreviewTest, ProductionJobShowsEveryTicketInPrintOrderAndChangesNothing) {
    const QStringList before = DatabaseState(dir.database());
    const QByteArray localSettings = dir.read(QStringLiteral("Velmora.ini"));
    const QByteArray connection = dir.read(QStringLiteral("Database.ini"));

    const ToolRun run = previewJob(job);

    ASSERT_EQ(run.exitCode, 0) << run.errors.toStdString();
    // Four production printers in the order the poller found them, then the extra printer.
    const QStringList files = ticketFiles();
    ASSERT_EQ(files.size(), 10) << files.join(QLatin1Char(' ')).toStdString();
    QStringList printers;
    for (int i = 0; i < 5; ++i) {
        const QString pdf = files.at(2 * i);
        EXPECT_TRUE(pdf.startsWith(QStringLiteral("0%1-").arg(i + 1))) << pdf.toStdString();
        EXPECT_EQ(files.at(2 * i + 1), pdf.chopped(3) + QStringLiteral("png"));
        printers << pdf.mid(3).chopped(4);
    }
    EXPECT_EQ(printers.last(), QStringLiteral("Servis"));
    printers.removeLast();
    printers.sort();
    EXPECT_EQ(printers, (QStringList{QStringLiteral("Bar"), QStringLiteral("Izgara"),
                                     QStringLiteral("Mutfak"), QStringLiteral("Pasta")}));

    auto fileOf = [&files](const char* printer) {
        return files.filter(QStringLiteral("-%1.pdf").arg(QLatin1String(printer))).value(0);
    };
    const QString kitchen = pdfText(fileOf("Mutfak"));
    EXPECT_TRUE(kitchen.contains(QStringLiteral("URETIM FISI"))) << kitchen.toStdString();
    EXPECT_TRUE(kitchen.contains(QStringLiteral("Sipariş No: 2001")));
    EXPECT_TRUE(kitchen.contains(QStringLiteral("Mercimek Çorbası")));
    EXPECT_FALSE(kitchen.contains(QStringLiteral("Humus"))) << "a line already sent";
    const QString pass = pdfText(fileOf("Servis"));
    EXPECT_TRUE(pass.contains(QStringLiteral("ÜRETIM FISI"))) << pass.toStdString();
    // The note on the right covers the end of the long extra text at this font size.
    EXPECT_TRUE(pass.contains(QStringLiteral("1   Adana tabağı"))) << pass.toStdString();
    EXPECT_TRUE(pdfText(fileOf("Pasta")).contains(QStringLiteral("Profiterol")));

    EXPECT_TRUE(run.output.contains(fileOf("Mutfak") + QStringLiteral(": printer \"Mutfak\", "
                                                                      "printed by the server on "
                                                                      "pdf:printers/mutfak")))
        << run.output.toStdString();
    EXPECT_TRUE(run.output.contains(fileOf("Pasta") + QStringLiteral(": printer \"Pasta\", not "
                                                                     "printed by the server")));

    EXPECT_EQ(DatabaseState(dir.database()), before);
    EXPECT_EQ(dir.read(QStringLiteral("Velmora.ini")), localSettings);
    EXPECT_EQ(dir.read(QStringLiteral("Database.ini")), connection);
}

TEST_F(PreviewTest, BillPreviewPrintsTheSentLinesAndLeavesNoJobBehind) {
    dir.database().exec(QStringLiteral("UPDATE A_AdsSatir SET SIP=1, YAZ=1"));
    Terminal(dir.database().session()).SetTotals(kBill, {0, 0, 0, 1060, 0, 0, 0});
    const QStringList before = DatabaseState(dir.database());

    const ToolRun run =
        preview({QStringLiteral("--bill"), QString::number(kBill), QStringLiteral("--type"),
                 QStringLiteral("1"), QStringLiteral("--waiter"), QStringLiteral("2")});

    ASSERT_EQ(run.exitCode, 0) << run.errors.toStdString();
    EXPECT_EQ(ticketFiles(),
              (QStringList{QStringLiteral("01-Adisyon.pdf"), QStringLiteral("01-Adisyon.png")}));
    const QString bill = pdfText(QStringLiteral("01-Adisyon.pdf"));
    for (const char* line :
         {"Lokanta Velmora", "Salon - 9 - Elif Kaya", "Adana Kebap", "Humus", "Genel Toplam"})
        EXPECT_TRUE(bill.contains(QString::fromUtf8(line))) << line << "\n" << bill.toStdString();
    EXPECT_EQ(DatabaseState(dir.database()), before);
}

TEST_F(PreviewTest, FontSizeAndMarginsOfVelmoraIniShapeTheTickets) {
    // The centred heading (always 14 points) and the waiter's name on an ordinary line.
    const auto kitchenTicketWords = [this] {
        const ToolRun run = previewJob(job);
        EXPECT_EQ(run.exitCode, 0) << run.errors.toStdString();
        const QString kitchen =
            QDir(out.path()).filePath(ticketFiles().filter(QStringLiteral("-Mutfak.pdf")).value(0));
        return std::make_pair(WordBox(kitchen, QStringLiteral("URETIM")),
                              WordBox(kitchen, QStringLiteral("Ahmet")));
    };
    dir.write(QStringLiteral("Velmora.ini"), "[Font]\r\nFont boyu=10\r\n");
    const auto [plainHeading, plainLine] = kitchenTicketWords();
    // 102 dots to the right and 406 dots down, at 203 dots per inch.
    dir.write(QStringLiteral("Velmora.ini"),
              "[Font]\r\nFont boyu=15\r\n[Bosluk]\r\nSol=102\r\nUst=406\r\n");
    const auto [tunedHeading, tunedLine] = kitchenTicketWords();

    ASSERT_FALSE(plainHeading.isNull() || plainLine.isNull());
    ASSERT_FALSE(tunedHeading.isNull() || tunedLine.isNull());
    EXPECT_NEAR(tunedHeading.center().x() - plainHeading.center().x(), 102 * 72.0 / 203, 2);
    EXPECT_NEAR(tunedHeading.top() - plainHeading.top(), 406 * 72.0 / 203, 3);
    EXPECT_NEAR(tunedLine.height() / plainLine.height(), 1.5, 0.1);
}

TEST_F(PreviewTest, DummyModeStillRendersAndAnotherRunReplacesTheTickets) {
    dir.write(QStringLiteral("Velmora.ini"),
              "[BU KISIMDAKI AYARLARI DEGISTIRMEYIN]\r\nDummy Server (DEGISTIRMEYIN)=1\r\n");
    QFile own(QDir(out.path()).filePath(QStringLiteral("09-own.pdf")));
    ASSERT_TRUE(own.open(QIODevice::WriteOnly));
    own.close();

    const ToolRun dummy = previewJob(job);

    ASSERT_EQ(dummy.exitCode, 0) << dummy.errors.toStdString();
    EXPECT_TRUE(dummy.output.contains(QStringLiteral("Dummy Server is on")));
    EXPECT_EQ(ticketFiles().size(), 11) << "ten files of the preview and the folder's own";

    const ToolRun bill = preview({QStringLiteral("--bill"), QString::number(kBill),
                                  QStringLiteral("--type"), QStringLiteral("4")});

    ASSERT_EQ(bill.exitCode, 0) << bill.errors.toStdString();
    EXPECT_EQ(ticketFiles(),
              (QStringList{QStringLiteral("01-Adisyon.pdf"), QStringLiteral("01-Adisyon.png")}));
}
#endif

TEST_F(PreviewTest, RefusesWhatItCannotPreviewAndChangesNothingWhenAJobFails) {
    const ToolRun unknown = previewJob(999);
    EXPECT_EQ(unknown.exitCode, 1);
    EXPECT_TRUE(unknown.errors.contains(QStringLiteral("Kuyrukta bu numarayla")))
        << unknown.errors.toStdString();

    const ToolRun noBill = preview({QStringLiteral("--bill"), QStringLiteral("4242"),
                                    QStringLiteral("--type"), QStringLiteral("1")});
    EXPECT_EQ(noBill.exitCode, 1);
    EXPECT_TRUE(noBill.errors.contains(QStringLiteral("Adisyon bulunamadi: 4242")));

    for (const QStringList& wrong : {QStringList{QStringLiteral("--bill"), QString::number(kBill)},
                                     QStringList{QStringLiteral("--bill"), QString::number(kBill),
                                                 QStringLiteral("--type"), QStringLiteral("6")},
                                     QStringList{QStringLiteral("--job"), QString::number(job),
                                                 QStringLiteral("--type"), QStringLiteral("1")}}) {
        const ToolRun run = preview(wrong);
        EXPECT_EQ(run.exitCode, 2) << wrong.join(QLatin1Char(' ')).toStdString();
        EXPECT_TRUE(run.errors.contains(QStringLiteral("--type"))) << run.errors.toStdString();
    }

    // A queue row whose bill number is not a number fails in the poller itself.
    dir.database().exec(
        QStringLiteral("INSERT INTO A_YazimKuyrugu (Tur, AdisyonID) VALUES ('0', 'x1')"));
    const qint64 broken =
        dir.database().scalar(QStringLiteral("SELECT MAX(ID) FROM A_YazimKuyrugu")).toLongLong();
    const QStringList before = DatabaseState(dir.database());

    const ToolRun failed = previewJob(broken);

    EXPECT_EQ(failed.exitCode, 1);
    EXPECT_TRUE(failed.errors.contains(QStringLiteral("the job failed")))
        << failed.errors.toStdString();
    EXPECT_TRUE(ticketFiles().isEmpty());
    EXPECT_EQ(DatabaseState(dir.database()), before);
}

} // namespace
