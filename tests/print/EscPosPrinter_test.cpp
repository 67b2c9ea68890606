#include "core/Error.h"
#include "print/DevicePrinterSource.h"
#include "print/EscPosRaster.h"
#include "print/EscPosStatus.h"
#include "print/PrintEngine.h"
#include "support/EscPosEmulator.h"
#include "support/ExternalTool.h"
#include "support/SampleTickets.h"

#include <QDir>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

class EscPosPrinterTest : public ::testing::Test {
protected:
    EscPosPrinterTest() {
        engine.setClock([] { return QDateTime(QDate(2026, 3, 14), {}); });
    }

    QString logText() const {
        QFile file(log.filePath());
        return file.open(QIODevice::ReadOnly) ? QString::fromLocal8Bit(file.readAll()) : QString();
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

bool Black(const QImage& image, int x, int y) {
    return image.valid(x, y) && qGray(image.pixel(x, y)) < 128;
}

// Black dots of one picture with no black dot of the other within two dots (a quarter of a
// millimetre), and the black dots of the first: the PDF printer's text is drawn by another
// rasteriser, whose glyph edges and hinted strokes land up to two dots away.
std::pair<int, int> StrayDots(const QImage& from, const QImage& to) {
    int stray = 0;
    int black = 0;
    for (int y = 0; y < from.height(); ++y) {
        for (int x = 0; x < from.width(); ++x) {
            bool near = !Black(from, x, y);
            black += near ? 0 : 1;
            for (int d = 0; d < 25 && !near; ++d)
                near = Black(to, x + d % 5 - 2, y + d / 5 - 2);
            stray += near ? 0 : 1;
        }
    }
    return {stray, black};
}

TEST_F(EscPosPrinterTest, TheBillsRasterIsThePdfPrintersPageAndItsBarcodeScans) {
    // 575 dots: the printable width of the PDF printer (72 mm at 203 dpi).
    engine.PrintTicket(printer.path() + QStringLiteral("?dots=575"), SampleBill());
    engine.PrintTicket(QStringLiteral("pdf:") + dir.filePath(QStringLiteral("pdf")), SampleBill());
    ASSERT_EQ(printer.tickets().size(), 1);
    EXPECT_EQ(printer.strayBytes(), 0);
    EXPECT_EQ(pauses, QList<int>{1000}); // only the spooler-like printer waits

    const QString pdf =
        QDir(dir.filePath(QStringLiteral("pdf"))).entryInfoList(QDir::Files).value(0).filePath();
    const QString page = dir.filePath(QStringLiteral("page"));
    ASSERT_EQ(RunTool(QStringLiteral("pdftoppm"), {"-r", "203", "-gray", "-singlefile", pdf, page})
                  .exitCode,
              0);
    // The printable area starts 11 points (31 dots) from the paper's left edge.
    const QImage paper(page + QStringLiteral(".pgm"));
    const QImage receipt =
        printer.tickets().first().copy(0, 0, 575, printer.tickets().first().height());
    const QImage printable = paper.copy(31, 0, 575, paper.height());
    EXPECT_GT(receipt.height(), 400);
    const auto [strayOnReceipt, onReceipt] = StrayDots(receipt, printable);
    const auto [strayOnPaper, onPaper] = StrayDots(printable, receipt); // blank below too
    EXPECT_EQ(strayOnReceipt + strayOnPaper, 0);
    EXPECT_NEAR(onReceipt, onPaper, onPaper / 50); // and the strokes as thick

    ASSERT_TRUE(receipt.save(page + QStringLiteral(".png")));
    EXPECT_EQ(RunTool(QStringLiteral("zbarimg"), {"--quiet", page + QStringLiteral(".png")}).output,
              QStringLiteral("CODE-39:0000000003025\n"));
}

TEST_F(EscPosPrinterTest, BytesAreInitialiseRasterBandsFeedAndPartialCut) {
    QImage picture(10, 2, QImage::Format_Mono);
    picture.setColorTable({qRgb(255, 255, 255), qRgb(0, 0, 0)});
    picture.fill(0);
    picture.setPixel(0, 0, 1);
    picture.setPixel(9, 1, 1);
    EXPECT_EQ(EscPosRaster::Encode(picture).toHex(' '),
              "1b 40 1d 76 30 00 02 00 02 00 80 00 00 40 1b 64 01 1d 56 42 00");
    const QImage tall(8, EscPosRaster::kBandRows + 1, QImage::Format_Mono);
    EXPECT_EQ(EscPosRaster::Encode(tall).count(QByteArrayLiteral("\x1d\x76\x30")), 2);
}

TEST_F(EscPosPrinterTest, AddressesTakeAHostOrADeviceAndAWidthAndMistakesAreNamed) {
    const EscPosAddress network = EscPosAddress::Parse(QStringLiteral("ESCPOS://192.168.1.50"));
    EXPECT_EQ(std::tuple(network.host, network.port, network.dots),
              std::tuple(QStringLiteral("192.168.1.50"), 9100, 576));
    const EscPosAddress usb = EscPosAddress::Parse(QStringLiteral("escpos:/dev/usb/lp0?dots=384"));
    EXPECT_EQ(std::tuple(usb.host, usb.device, usb.dots),
              std::tuple(QString(), QStringLiteral("/dev/usb/lp0"), 384));
    EXPECT_EQ(EscPosAddress::Parse(QStringLiteral("escpos://[::1]:9101")).port, 9101);
    for (const char* bad : {"escpos:", "escpos://", "escpos://kasa:", "escpos://kasa:70000",
                            "escpos://[::1", "escpos:/dev/lp0?dots=4", "escpos://kasa?renk=1"})
        EXPECT_THROW(EscPosAddress::Parse(QString::fromLatin1(bad)), PrinterError) << bad;

    engine.PrintTicket(QStringLiteral("escpos://kasa:abc"), {QStringLiteral("x")});
    EXPECT_TRUE(logText().contains(
        "-Yazici Bulunamadi -- FisID:302 Yazici: escpos://kasa:abc -- Gecersiz ESC/POS yazici "
        "adresi: escpos://kasa:abc (port 1 ile 65535 arasinda olmali: 'abc')"))
        << logText().toStdString();
}

// Asked before and after each ticket; the reasons name the printer, near end is a warning.
TEST_F(EscPosPrinterTest, StatusFailsTheTicketOrWarnsOnceUntilItClears) {
    const Ticket ticket{QStringLiteral("x")};
    for (const auto& [condition, reason] :
         {std::pair(EscPosEmulator::Condition::CoverOpen, "Kapak acik: "),
          std::pair(EscPosEmulator::Condition::PaperEnd, "Kagit bitti: ")}) {
        printer.set(condition);
        try {
            engine.PrintTicket(printer.path(), ticket);
            ADD_FAILURE() << reason;
        } catch (const PrinterError& error) {
            EXPECT_EQ(error.message(), reason + printer.path());
        }
    }
    EXPECT_EQ(EscPosStatus::Decode("\x1a\x12\x12")->FailureReason(), "Yazici cevrimdisi");
    EXPECT_FALSE(EscPosStatus::Decode("\x12\x00\x12")); // not a status byte

    const QString warning = "Uyari: Kagit azaliyor -- Yazici: " + printer.path();
    for (const auto condition :
         {EscPosEmulator::Condition::PaperNearEnd, EscPosEmulator::Condition::PaperNearEnd,
          EscPosEmulator::Condition::Ready, EscPosEmulator::Condition::PaperNearEnd}) {
        printer.set(condition);
        engine.PrintTicket(printer.path(), ticket);
    }
    EXPECT_EQ(printer.tickets().size(), 4);
    EXPECT_EQ(logText().count(warning), 2);
    EXPECT_TRUE(pauses.isEmpty());
}

TEST_F(EscPosPrinterTest, ADeviceFilePrinterOnAPseudoTerminal) {
    EscPosEmulator device(EscPosEmulator::Line::PseudoTerminal);
    engine.PrintTicket(device.path(), SampleBill(10));
    ASSERT_EQ(device.tickets().size(), 1);
    EXPECT_EQ(device.tickets().first().width(), 576);
    device.set(EscPosEmulator::Condition::CoverOpen);
    EXPECT_THROW(engine.PrintTicket(device.path(), SampleBill(10)), PrinterError);
    EXPECT_EQ(device.tickets().size(), 1);
}

} // namespace
