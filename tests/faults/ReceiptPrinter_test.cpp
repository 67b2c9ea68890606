#include "support/EscPosEmulator.h"
#include "support/QueueHarness.h"

#include <QRegularExpression>
#include <QTcpSocket>
#include <functional>
#include <gtest/gtest.h>

namespace {

// The bar's kitchen ticket on a receipt printer, through the real poller and print engine,
// with short timeouts.
struct BarTicket {
    BarTicket() {
        h.devices.setEscPosTimeouts({1000, 1000, 500});
        h.seedRestaurant();
        h.addPrinter("Bar", printer.path());
        h.db.addBill(302, "1", "5");
        ayran = h.db.addSaleLine(302, "B1", 1, 10);
        h.db.queueJob(302, "0");
    }

    QueueHarness h{QueueHarness::Printing::Spooled, {}, false};
    EscPosEmulator printer;
    QTcpSocket refusing; // bound, never listening: its port refuses connections
    qint64 ayran = 0;
};

// However the printer fails, the job waits with its line unmarked and the printer's failure is
// logged once; back in order, the printer's check finds it ready, it gets the ticket and the job
// is done, with nobody asking for a retry. A printer
// slower than the write timeout still prints what it was too slow to confirm, so that ticket
// comes out twice rather than never.
TEST(ReceiptPrinterFaultTest, AFailingPrinterKeepsTheJobUntilItTakesTheTicket) {
    using Emulator = EscPosEmulator;
    const auto set = [](auto state) {
        return [state](BarTicket& t) {
            t.printer.set(state);
        };
    };
    const struct {
        std::function<void(BarTicket&)> breakIt, fixIt;
        QString reason;
        int tickets;
    } cases[] = {
        {[](BarTicket& t) {
             t.refusing.bind(QHostAddress::LocalHost);
             t.h.addPrinter("Bar",
                            QStringLiteral("escpos://127.0.0.1:%1").arg(t.refusing.localPort()));
         },
         [](BarTicket& t) { t.h.addPrinter("Bar", t.printer.path()); },
         "Yazici cevrimdisi: escpos://127.0.0.1:\\d+ \\(Connection refused\\)", 1},
        {set(Emulator::Condition::PaperEnd), set(Emulator::Condition::Ready), "Kagit bitti: ", 1},
        {set(Emulator::Condition::CoverOpen), set(Emulator::Condition::Ready), "Kapak acik: ", 1},
        {set(Emulator::Fault::NeverAnswers), set(Emulator::Fault::None),
         "Yazici cevap vermiyor: ", 1},
        {set(Emulator::Fault::DropsMidTicket), set(Emulator::Fault::None),
         "Yazici cevrimdisi: .+ \\(baglanti koptu\\)", 1},
        {set(Emulator::Fault::ReadsSlowly), set(Emulator::Fault::None),
         "Yazici cevap vermiyor: ", 2},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.reason.toStdString());
        BarTicket t;
        c.breakIt(t);
        t.h.tick(4);
        EXPECT_TRUE(t.h.notices.isEmpty());
        ASSERT_FALSE(t.h.logLines().isEmpty());
        EXPECT_TRUE(QRegularExpression("Yazici calismiyor: Bar -- " + c.reason)
                        .match(t.h.logLines()[0])
                        .hasMatch())
            << t.h.logLines()[0].toStdString();
        EXPECT_EQ(t.h.flags(t.ayran), "0/0/0");
        EXPECT_EQ(t.h.queued(), 1);
        EXPECT_TRUE(t.printer.tickets().isEmpty());
        c.fixIt(t);
        t.h.tick(3);
        EXPECT_EQ(t.h.flags(t.ayran), "1/1/0");
        EXPECT_EQ(t.h.queued(), 0);
        EXPECT_EQ(t.printer.tickets().size(), c.tickets);
        // A printer moved to another address is never checked back at the old one.
        EXPECT_EQ(t.h.logLines().last() == "Yazici yeniden calisiyor: Bar -- bekleyen 1 fis "
                                           "yazdirildi",
                  !c.reason.contains("refused"));
    }
}

} // namespace
