#include "core/Error.h"
#include "print/DevicePrinterSource.h"
#include "print/EscPosStatus.h"
#include "print/PrintEngine.h"
#include "print/ScreenAddress.h"
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
