#include "core/Error.h"
#include "print/DevicePrinterSource.h"
#include "print/EscPosStatus.h"
#include "print/PrintEngine.h"
#include "print/ScreenAddress.h"
#include "support/EscPosEmulator.h"
#include "support/ExternalTool.h"
#include "support/PdfWords.h"
#include "support/SampleTickets.h"

#include <QDir>
#include <QSet>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

class EscPosPrinterTest : public ::testing::Test {
protected:
    EscPosPrinterTest() {
        engine.setClock([] { return QDateTime(QDate(2026, 3, 14), {}); });
    }

    int logged(const QString& text) const {
        QFile file(log.filePath());
        return file.open(QIODevice::ReadOnly) ? QString::fromLocal8Bit(file.readAll()).count(text)
                                              : 0;
    }

    QTemporaryDir dir;
    QString billNumber = QStringLiteral("302");
    DiagnosticLog log{dir.filePath(QStringLiteral("Velmora.log"))};
    DevicePrinterSource source{dir.path()};
    QList<int> pauses;
    PrintEngine engine{billNumber, PrintSettings(), log, source, [this](int ms) {
                           pauses << ms;
                       }};
    EscPosEmulator printer;
};

#ifndef Q_OS_WIN // the PDF page and the barcode are read by poppler and zbar, Linux programs
// Black dots of one picture with none of the other within two dots (a quarter of a
// millimetre: the PDF's text is drawn by another rasteriser, whose glyph edges and hinted
// strokes land up to two dots away), and the black dots of the first.
std::pair<int, int> StrayDots(const QImage& from, const QImage& to) {
    const auto black = [](const QImage& image, int x, int y) {
        return image.valid(x, y) && qGray(image.pixel(x, y)) < 128;
    };
    int stray = 0;
    int dots = 0;
    for (int i = 0; i < from.width() * from.height(); ++i) {
        bool near = !black(from, i % from.width(), i / from.width());
        dots += near ? 0 : 1;
        for (int d = 0; d < 25 && !near; ++d)
            near = black(to, i % from.width() + d % 5 - 2, i / from.width() + d / 5 - 2);
        stray += near ? 0 : 1;
    }
    return {stray, dots};
}

TEST_F(EscPosPrinterTest, TheBillsRasterIsThePdfPrintersPageAndItsBarcodeScans) {
    // 575 dots: the printable width of the PDF printer (72 mm at 203 dpi).
    engine.PrintTicket(printer.path() + QStringLiteral("?dots=575"), SampleBill());
    engine.PrintTicket(QStringLiteral("pdf:") + dir.filePath(QStringLiteral("pdf")), SampleBill());
    ASSERT_EQ(printer.tickets().size(), 1);
    EXPECT_TRUE(pauses.isEmpty()); // each printer says itself when it has the ticket

    const QString page = dir.filePath(QStringLiteral("page"));
    const QString pdf = QDir(dir.filePath("pdf")).entryInfoList(QDir::Files).value(0).filePath();
    ASSERT_EQ(RunTool("pdftoppm", {"-r", "203", "-gray", "-singlefile", pdf, page}).exitCode, 0);
    const QImage paper(page + QStringLiteral(".pgm")); // printable from 11 points (31 dots) in
    const QImage printable = paper.copy(31, 0, 575, paper.height());
    const QImage receipt = printer.tickets().first().copy(0, 0, 575, paper.height());
    const auto [strayOnReceipt, onReceipt] = StrayDots(receipt, printable);
    const auto [strayOnPaper, onPaper] = StrayDots(printable, receipt);
    EXPECT_EQ(strayOnReceipt + strayOnPaper, 0);
    EXPECT_NEAR(onReceipt, onPaper, onPaper / 50); // and the strokes as thick

    ASSERT_TRUE(printer.tickets().first().save(page + QStringLiteral(".png")));
    EXPECT_EQ(RunTool("zbarimg", {"--quiet", page + QStringLiteral(".png")}).output,
              QStringLiteral("CODE-39:0000000003025\n"));
}

// Rows of the picture black across nearly the whole paper: a band, never a row of text.
int BandRows(const QImage& picture) {
    int rows = 0;
    for (int y = 0; y < picture.height(); ++y) {
        int black = 0;
        for (int x = 0; x < picture.width(); ++x)
            black += qGray(picture.pixel(x, y)) < 128 ? 1 : 0;
        rows += black > 500 ? 1 : 0;
    }
    return rows;
}

// Each ticket is printed without options, twice with them and once into a "pdf:" folder with
// them: the bell after each cut, the picture's height, the note's band on the picture and the
// page, and every word still text on the page, an item's beside its quantity.
TEST_F(EscPosPrinterTest, KitchenOptionsRingEnlargeAndSetNotesApart) {
    const Ticket items{"%+2   Köfte", "%+1   Ayran"};
    const Ticket noted{"%*1   Köfte", "_*ALERJI FISTIK"};
    const Ticket longName{"%+1   Kuzu Tandir Firinda Patates Pilav Salata"}; // 40 letters
    const struct {
        const char* options;
        Ticket ticket;
        QStringList bell;
        double height; // times the height without options; 0: not measured
        bool band;
        bool ownColumn;
    } rows[] = {
        {"zil=2", items, {"ESC B", "ESC B"}, 1, false, false},
        {"zil=3&zilkomutu=epson", items, QStringList(3, "ESC ( A"), 1, false, false},
        {"ZILKOMUTU=Star&zil=1", items, {"ESC GS BEL"}, 1, false, false},
        {"zil=2&zilkomutu=cekmece", items, {"ESC p", "ESC p"}, 1, false, false},
        {"boyut=2", items, {}, 2, false, false},
        {"boyut=2", longName, {}, 0, false, true},
        {"vurgu=ters", noted, {}, 1, true, false},
        {"boyut=2&vurgu=kirmizi", noted, {}, 2, true, false},
    };
    for (size_t i = 0; i < std::size(rows); ++i) {
        const auto& row = rows[i];
        SCOPED_TRACE(row.options);
        const QString options = QStringLiteral("?") + QLatin1String(row.options);
        const qsizetype before = printer.tickets().size();
        for (const QString& path :
             {printer.path(), printer.path() + options, printer.path() + options})
            engine.PrintTicket(path, row.ticket);
        const QString folder = dir.filePath(QString::number(i));
        engine.PrintTicket(QStringLiteral("pdf:") + folder + options, row.ticket);
        const QList<QImage> tickets = printer.tickets().mid(before);
        ASSERT_EQ(tickets.size(), 3);
        EXPECT_EQ(printer.bells().mid(before), (QList<QStringList>{{}, row.bell, row.bell}));
        if (row.height > 0) {
            EXPECT_NEAR(double(tickets[1].height()) / tickets[0].height(), row.height,
                        row.height / 10);
        }
        EXPECT_EQ(BandRows(tickets[0]), 0);
        EXPECT_EQ(BandRows(tickets[1]) > 0, row.band);

        const QString pdf = QDir(folder).entryInfoList(QDir::Files).value(0).filePath();
        const QString image = folder + QStringLiteral("/page");
        ASSERT_EQ(RunTool("pdftoppm", {"-r", "203", "-gray", "-singlefile", pdf, image}).exitCode,
                  0);
        // Red on the page, where the picture stands it out reversed.
        EXPECT_EQ(BandRows(QImage(image + QStringLiteral(".pgm"))) > 0,
                  row.band && !QByteArray(row.options).contains("kirmizi"));
        QStringList words;
        for (const QString& line : row.ticket)
            words += line.mid(2).split(QLatin1Char(' '), Qt::SkipEmptyParts);
        const PdfPage page = ReadPdfPage(pdf);
        EXPECT_EQ(page.texts, words);
        if (row.ownColumn) {
            QSet<int> tops;
            for (const QRectF& word : page.words.mid(1)) {
                EXPECT_GT(word.left(), page.words.first().right());
                tops << qRound(word.top());
            }
            EXPECT_GT(tops.size(), 2);
        }
    }

    const struct {
        QString path;
        const char* options;
        const char* why;
    } refused[] = {
        {printer.path(), "zil=10", "(zil 1 ile 9 arasinda olmali: '10')"},
        {printer.path(), "boyut=2&vurgu=mavi", "(vurgu ters ya da kirmizi olmali: 'mavi')"},
        {printer.path(), "zil=2&renk=1", "(bilinmeyen secenek 'renk=1')"},
        {"pdf:" + dir.filePath("x"), "dots=384",
         "('dots=384' yalnizca escpos: yazicilarinda gecerli)"},
    };
    for (const auto& bad : refused) {
        try {
            engine.PrintTicket(bad.path + QStringLiteral("?") + QLatin1String(bad.options), items);
            ADD_FAILURE() << bad.options;
        } catch (const PrinterError& error) {
            EXPECT_TRUE(error.message().endsWith(QLatin1String(bad.why)))
                << error.message().toStdString();
        }
    }
}

#endif

TEST_F(EscPosPrinterTest, AddressesNameAHostOrADeviceAndOptionsInAnyOrder) {
    const auto parsed = [](const char* path) {
        const EscPosAddress a = EscPosAddress::Parse(QString::fromLatin1(path));
        return QStringLiteral("%1%2 %3 %4").arg(a.host, a.device).arg(a.port).arg(a.dots);
    };
    EXPECT_EQ(parsed("ESCPOS://192.168.1.50"), "192.168.1.50 9100 576");
    EXPECT_EQ(parsed("escpos://[::1]:9101"), "::1 9101 576");
    EXPECT_EQ(parsed("escpos:/dev/usb/lp0?dots=384"), "/dev/usb/lp0 9100 384");
    const EscPosAddress serial = EscPosAddress::Parse("escpos:COM12?Status=0&baud=9600&dots=384");
    EXPECT_EQ(std::tuple(serial.dots, serial.baud, serial.asksStatus),
              std::tuple(384, 9600, false));
    for (const char* bad : {"escpos:", "escpos://", "escpos://kasa:", "escpos://kasa:70000",
                            "escpos://[::1", "escpos:/dev/lp0?dots=4", "escpos://kasa?renk=1",
                            "escpos:COM1?baud=12", "escpos:COM1?status=2", "escpos:COM1?dots"})
        EXPECT_THROW(EscPosAddress::Parse(QString::fromLatin1(bad)), PrinterError) << bad;
    const ScreenAddress screen =
        ScreenAddress::Parse(QStringLiteral("EKRAN:Tatlı?kirmizi=20&SARI=5"));
    EXPECT_EQ(std::tuple(screen.name, screen.yellowMinutes, screen.redMinutes),
              std::tuple(QStringLiteral("Tatlı"), 5, 20));
    for (const char* bad :
         {"ekran:", "ekran: ?sari=2", "ekran:a/b", "ekran:x?sari=0", "ekran:x?sari=20",
          "ekran:x?kirmizi=241", "ekran:x?renk=1", "ekran:x?sari"})
        EXPECT_THROW(ScreenAddress::Parse(QString::fromLatin1(bad)), PrinterError) << bad;
}

// Failing conditions are tried through the poller (faults/ReceiptPrinter_test.cpp).
TEST_F(EscPosPrinterTest, PaperNearEndIsAWarningLoggedOnceUntilItClears) {
    using Condition = EscPosEmulator::Condition;
    for (const Condition condition : {Condition::PaperNearEnd, Condition::PaperNearEnd,
                                      Condition::Ready, Condition::PaperNearEnd}) {
        printer.set(condition);
        engine.PrintTicket(printer.path(), {QStringLiteral("x")});
    }
    ASSERT_EQ(printer.tickets().size(), 4);
    EXPECT_EQ(printer.tickets().first(), printer.tickets().last()); // the same bytes each time
    EXPECT_EQ(logged("Uyari: Kagit azaliyor -- Yazici: " + printer.path()), 2);
    EXPECT_TRUE(pauses.isEmpty());
    EXPECT_EQ(EscPosStatus::Decode("\x1a\x12\x12")->FailureReason(), "Yazici cevrimdisi");
    EXPECT_FALSE(EscPosStatus::Decode("\x12\x00\x12")); // not a status byte
}

#ifdef Q_OS_UNIX
TEST_F(EscPosPrinterTest, ADeviceFilePrinterOnAPseudoTerminal) {
    EscPosEmulator device(true); // with the port's default settings: CR/LF, echo, lines
    engine.PrintTicket(device.path() + QStringLiteral("?baud=9600"), SampleBill(10));
    engine.PrintTicket(printer.path(), SampleBill(10));
    device.set(EscPosEmulator::Condition::CoverOpen);
    EXPECT_THROW(engine.PrintTicket(device.path(), SampleBill(10)), PrinterError);
    ASSERT_EQ(device.tickets().size(), 1);
    EXPECT_EQ(device.tickets().first(), printer.tickets().value(0));
}
#endif

} // namespace
