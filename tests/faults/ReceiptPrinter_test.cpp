#include "support/EscPosEmulator.h"
#include "support/ExternalTool.h"
#include "support/QueueHarness.h"

#include <QDir>
#include <QRegularExpression>
#include <QTcpServer>
#include <functional>
#include <gtest/gtest.h>

namespace {

// The bar's kitchen ticket for a receipt printer on the network, through the real poller and
// print engine, with short timeouts.
struct BarTicket {
    BarTicket() {
        h.devices.setEscPosTimeouts({500, 1000, 300});
        h.seedRestaurant();
        h.addPrinter("Bar", printer.path());
        h.db.addBill(302, QStringLiteral("1"), QStringLiteral("5"));
        ayran = h.db.addSaleLine(302, QStringLiteral("B1"), 1, 10);
        h.db.queueJob(302, QStringLiteral("0"));
    }

    QueueHarness h{QueueHarness::Printing::Spooled, {}, false};
    EscPosEmulator printer;
    qint64 ayran = 0;
};

QString RefusingPath() {
    QTcpServer closed;
    closed.listen(QHostAddress::LocalHost);
    return QStringLiteral("escpos://127.0.0.1:%1").arg(closed.serverPort());
}

// However the printer fails, the job stays queued with its line unmarked and the failure is
// reported once; back in order, the printer gets the ticket once and the job is done.
TEST(ReceiptPrinterFaultTest, AFailingPrinterKeepsTheJobUntilItTakesTheTicket) {
    using Emulator = EscPosEmulator;
    struct Case {
        const char* name;
        std::function<void(BarTicket&)> breakIt, fixIt;
        QString reason;
        int tickets = 1;
    };
    const auto set = [](auto state) {
        return [state](BarTicket& t) {
            t.printer.set(state);
        };
    };
    const QList<Case> cases{
        {"refused", [](BarTicket& t) { t.h.addPrinter("Bar", RefusingPath()); },
         [](BarTicket& t) { t.h.addPrinter("Bar", t.printer.path()); },
         "Yazici cevrimdisi: escpos://127.0.0.1:\\d+ \\(Connection refused\\)"},
        {"paper end", set(Emulator::Condition::PaperEnd), set(Emulator::Condition::Ready),
         "Kagit bitti"},
        {"cover open", set(Emulator::Condition::CoverOpen), set(Emulator::Condition::Ready),
         "Kapak acik"},
        {"no answer", set(Emulator::Fault::NeverAnswers), set(Emulator::Fault::None),
         "Yazici cevap vermiyor"},
        {"dropped", set(Emulator::Fault::DropsMidTicket), set(Emulator::Fault::None),
         "Yazici (cevrimdisi|cevap vermiyor)"},
        // Slower than the write timeout, and within the real one. What it took too long to
        // confirm still comes out: the ticket prints twice rather than never.
        {"slow reader", set(Emulator::Fault::ReadsSlowly),
         [](BarTicket& t) { t.h.devices.setEscPosTimeouts({}); }, "Yazici cevap vermiyor", 2},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        BarTicket t;
        c.breakIt(t);
        t.h.tick(2);
        ASSERT_EQ(t.h.notices.size(), 1);
        EXPECT_TRUE(QRegularExpression("Hata: " + c.reason).match(t.h.notices[0]).hasMatch())
            << t.h.notices[0].toStdString();
        EXPECT_EQ(t.h.flags(t.ayran), "0/0/0");
        EXPECT_EQ(t.h.queued(), 1);
        EXPECT_TRUE(t.printer.tickets().isEmpty());
        c.fixIt(t);
        t.h.tick();
        EXPECT_EQ(t.h.flags(t.ayran), "1/1/0");
        EXPECT_EQ(t.h.queued(), 0);
        EXPECT_EQ(t.printer.tickets().size(), c.tickets);
        EXPECT_EQ(t.h.logLines().last(), "Yazici yeniden calisiyor: Bar");
    }
}

// The bar's printer is out of paper: the ticket goes to the kitchen's, under a heading that
// says whose it is, and the job is done.
TEST(ReceiptPrinterFaultTest, AFailingPrintersTicketGoesToItsBackupAndTheJobCompletes) {
    BarTicket t;
    QueueHarness& h = t.h;
    h.addPrinter("Mutfak", "pdf:" + h.db.directory() + "/mutfak");
    h.backups.Add("BAR", "Mutfak");
    t.printer.set(EscPosEmulator::Condition::PaperEnd);
    h.tick();
    EXPECT_EQ(h.flags(t.ayran), "1/1/0");
    EXPECT_EQ(h.queued(), 0);
    EXPECT_TRUE(h.notices.isEmpty());
    const QString error = "Kagit bitti: " + t.printer.path();
    EXPECT_EQ(h.logLines(), (QStringList{"Yazici calismiyor: Bar -- " + error,
                                         "Yedek yaziciya yazdirildi -- FisID:302 Yazici: Bar "
                                         "Yedek: Mutfak Hata: " +
                                             error}));
    EXPECT_EQ(h.status.failingPrinters(), (QList<ServerStatus::FailingPrinter>{{"Bar", error}}));
    const QFileInfoList pdfs = QDir(h.db.directory() + "/mutfak").entryInfoList(QDir::Files);
    ASSERT_EQ(pdfs.size(), 1);
    const QString text = RunTool("pdftotext", {"-layout", pdfs.first().filePath(), "-"}).output;
    EXPECT_TRUE(text.trimmed().startsWith("YEDEK: Bar yerine")) << text.toStdString();
    EXPECT_TRUE(text.contains("Ayran")) << text.toStdString();
}

} // namespace
