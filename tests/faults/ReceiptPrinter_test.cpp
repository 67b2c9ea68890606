#include "support/EscPosEmulator.h"
#include "support/QueueHarness.h"

#include <QRegularExpression>
#include <QTcpSocket>
#include <functional>
#include <gtest/gtest.h>

namespace {

// The bar's kitchen ticket on a receipt printer, through the real poller and print engine,
// with short timeouts; Mutfak, on a printer of its own, is the bar's backup when asked for.
struct BarTicket {
    explicit BarTicket(bool withBackup = false) {
        h.devices.setEscPosTimeouts({1000, 1000, 500});
        h.seedRestaurant();
        h.addPrinter("Bar", printer.path());
        h.addPrinter("Mutfak", backup.path());
        if (withBackup)
            h.backups.Add(QStringLiteral("Bar"), QStringLiteral("Mutfak"));
        h.db.addBill(302, "1", "5");
        ayran = h.db.addSaleLine(302, "B1", 1, 10);
        h.db.queueJob(302, "0");
    }

    QueueHarness h{QueueHarness::Printing::Spooled, {}, false};
    EscPosEmulator printer;
    EscPosEmulator backup;
    QTcpSocket refusing; // bound, never listening: its port refuses connections
    qint64 ayran = 0;
};

// Whatever the printer or its link does, the ticket comes out exactly once, on the printer
// or on its backup; a ticket that went nowhere keeps its job and its line unmarked, and the
// failure is reported once. The next ticket comes out intact on the printer, back in order.
TEST(ReceiptPrinterFaultTest, EveryTicketComesOutExactlyOnce) {
    using Emulator = EscPosEmulator;
    const auto set = [](auto state) {
        return [state](BarTicket& t) {
            t.printer.set(state);
        };
    };
    const auto path = [](const QString& suffix) {
        return [suffix](BarTicket& t) {
            t.h.addPrinter("Bar", t.printer.path() + suffix);
        };
    };
    const struct {
        bool withBackup;
        std::function<void(BarTicket&)> breakIt, fixIt;
        QString notice; // empty: the first tick printed the ticket
        int onPrinter, onBackup;
        QString logged;
    } cases[] = {
        {false,
         [](BarTicket& t) {
             t.refusing.bind(QHostAddress::LocalHost);
             t.h.addPrinter("Bar",
                            QStringLiteral("escpos://127.0.0.1:%1").arg(t.refusing.localPort()));
         },
         path(""), "Yazici cevrimdisi: escpos://127.0.0.1:\\d+ \\(Connection refused\\)", 1, 0, ""},
        {false, set(Emulator::Condition::PaperEnd), set(Emulator::Condition::Ready),
         "Kagit bitti: ", 1, 0, ""},
        {true, set(Emulator::Condition::CoverOpen), set(Emulator::Condition::Ready), "", 0, 1, ""},
        {true, set(Emulator::Fault::RunsOutAfterTicket),
         [](BarTicket& t) {
             t.printer.set(Emulator::Fault::None);
             t.printer.set(Emulator::Condition::Ready);
         },
         "", 1, 0, "Fis yazdirildi, yazici sonrasinda hata bildirdi -- .+ Hata: Kagit bitti: "},
#ifndef Q_OS_WIN // Windows does not tell what the printer acknowledged of what it was given:
                 // the tick ends while the slow reader still reads, and a dropped link goes
                 // unseen
        {true, set(Emulator::Fault::ReadsSlowly), set(Emulator::Fault::None), "", 1, 0, ""},
        {false, set(Emulator::Fault::DropsMidTicket), set(Emulator::Fault::None),
         "Yazici cevrimdisi: .+ \\(baglanti koptu\\)", 1, 0, ""},
#endif
        {true, set(Emulator::Fault::NeverAnswers), set(Emulator::Fault::None), "", 1, 0,
         "Uyari: Yazici durum bildirmiyor, kagit durumu gorulemiyor -- Yazici: "},
        {false,
         [](BarTicket& t) {
             t.h.spooled.PrintTicket(t.printer.path(), {QStringLiteral("x")});
             t.printer.set(Emulator::Fault::NeverAnswers);
         },
         set(Emulator::Fault::None), "Yazici cevap vermiyor: ", 1, 0, ""},
        {true, path("?renk=1"), path("?status=1&dots=576"), "", 0, 1,
         "Yedek yaziciya yazdirildi -- .+ Hata: Gecersiz ESC/POS yazici adresi: .+ \\(bilinmeyen "
         "secenek 'renk=1'\\)"},
        {true, path("?boyut=2&vurgu=mavi"), path(""), "", 0, 1,
         "Yedek yaziciya yazdirildi -- .+ Hata: .+ \\(vurgu ters ya da kirmizi olmali: 'mavi'\\)"},
        {true, [](BarTicket& t) { t.h.addPrinter("Bar", "escpos://kasa:abc"); }, path(""), "", 0, 1,
         "Hata: Gecersiz ESC/POS yazici adresi: escpos://kasa:abc \\(port 1 ile 65535"},
    };
    BarTicket healthy;
    healthy.h.tick();
    ASSERT_EQ(healthy.printer.tickets().size(), 1);
    const QImage intact = healthy.printer.tickets().first();

    for (const auto& c : cases) {
        SCOPED_TRACE(c.notice.toStdString() + c.logged.toStdString());
        BarTicket t(c.withBackup);
        c.breakIt(t);
        const qsizetype before = t.printer.tickets().size();
        t.h.tick(2);
        const bool waits = !c.notice.isEmpty();
        EXPECT_TRUE(t.h.notices.isEmpty());
        if (waits) {
            EXPECT_EQ(t.h.logLines()
                          .filter(QRegularExpression("Yazici calismiyor: Bar -- " + c.notice))
                          .size(),
                      1)
                << t.h.logLines().join('\n').toStdString();
        }
        EXPECT_EQ(t.h.flags(t.ayran), waits ? "0/0/0" : "1/1/0");
        EXPECT_EQ(t.h.queued(), waits ? 1 : 0);
        EXPECT_EQ(t.printer.tickets().size() - before, waits ? 0 : c.onPrinter);
        c.fixIt(t);
        t.h.tick(3); // the ticket still owed, once the printer's check finds it ready
        t.h.db.addSaleLine(302, "B1", 1, 10);
        t.h.db.queueJob(302, "0");
        t.h.tick();
        EXPECT_EQ(t.h.queued(), 0);
        EXPECT_EQ(t.printer.tickets().size() - before, c.onPrinter + 1);
        EXPECT_EQ(t.backup.tickets().size(), c.onBackup);
        for (const QImage& ticket : t.printer.tickets().mid(before))
            EXPECT_EQ(ticket, intact);
        if (!c.logged.isEmpty()) {
            EXPECT_EQ(t.h.logLines().filter(QRegularExpression(c.logged)).size(), 1)
                << t.h.logLines().join('\n').toStdString();
        }
    }
}

} // namespace
