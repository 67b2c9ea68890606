#include "support/EscPosEmulator.h"
#include "support/ExternalTool.h"
#include "support/QueueHarness.h"

#include <QDir>
#include <QFile>
#include <functional>
#include <gtest/gtest.h>
#include <iostream>

namespace {

struct Outage {
    const char* kind;
    QString path;                       // the kitchen printer's Yol
    std::function<void(bool on)> power; // switches the printer off and on again
    std::function<int()> printed = [] {
        return -1;
    }; // tickets the printer holds, where seen
};

// The kitchen printer fails for 32 s, sixteen poll intervals, while eight orders with a kitchen and
// a bar line come in, then comes back; nobody touches the server. The bar prints every order in the
// poll it comes, the kitchen prints each waiting ticket once, in queue order, within 10 s of its
// return, and nothing is reported as a failed job.
TEST(PrinterOutageTest, EveryTicketPrintsOnceInOrderAndTheOtherPrinterNeverWaits) {
    EscPosEmulator receipt;
    const QString cupsQueue = QStringLiteral("VelmoraOutage");
    const bool cups =
        RunTool(QStringLiteral("lpadmin"), {"-p", cupsQueue, "-E", "-v", "cups-pdf:/", "-m",
                                            "lsb/usr/cups-pdf/CUPS-PDF_noopt.ppd"})
            .exitCode == 0;
    QueueHarness h{QueueHarness::Printing::Spooled};
    const QString folder = h.db.directory() + QStringLiteral("/mutfak");
    const auto pdfFiles = [](const QString& dir) {
        return static_cast<int>(QDir(dir).entryList({QStringLiteral("*.pdf")}).size());
    };
    const Outage outages[] = {
        {"escpos", receipt.path(),
         [&](bool on) {
             receipt.set(on ? EscPosEmulator::Condition::Ready
                            : EscPosEmulator::Condition::PaperEnd);
         },
         [&] {
             return static_cast<int>(receipt.tickets().size());
         }},
        {"pdf", QStringLiteral("pdf:mutfak"),
         [&](bool on) {
             // A file where the folder should be: no document can be written there.
             QDir(folder).removeRecursively();
             QFile::remove(folder);
             if (on)
                 QDir().mkpath(folder);
             else
                 QFile(folder).open(QIODevice::WriteOnly);
         },
         [&] {
             return pdfFiles(folder);
         }},
        {"cups", cupsQueue,
         [&](bool on) {
             RunTool(on ? QStringLiteral("cupsenable") : QStringLiteral("cupsdisable"),
                     {cupsQueue});
         }},
    };
    h.devices.setEscPosTimeouts({1000, 1000, 500});
    h.seedRestaurant();
    h.addPrinter("Bar", "pdf:bar");
    int bill = 400;
    for (const Outage& outage : outages) {
        SCOPED_TRACE(outage.kind);
        if (QLatin1String(outage.kind) == QLatin1String("cups") && !cups) {
            std::cout << "printer outage (cups): no CUPS queue could be added here\n";
            continue;
        }
        h.addPrinter("Mutfak", outage.path);
        outage.power(false);
        const QStringList before = h.logLines();
        QStringList orders;
        for (int i = 0; i < 8; ++i, ++bill) {
            h.db.addBill(bill, "1", QString::number(i + 1));
            h.db.addSaleLine(bill, "P1", 1, 8);
            h.db.addSaleLine(bill, "B1", 1, 5);
            h.db.queueJob(bill, "0");
            orders << QStringLiteral("=%1-Gonder:").arg(bill);
            h.poll();
            EXPECT_EQ(h.logLines().mid(before.size()).filter("-Gonder:pdf:bar").size(), i + 1);
            h.poll();
        }
        outage.power(true);
        int pollsAfterReturn = 0;
        while (h.queued() > 0 && pollsAfterReturn < 5) {
            h.poll();
            ++pollsAfterReturn;
        }
        const QStringList log = h.logLines().mid(before.size());
        QStringList kitchen = log.filter("-Gonder:" + outage.path);
        for (QString& line : kitchen)
            line.chop(outage.path.size());
        EXPECT_EQ(kitchen, orders);
        EXPECT_EQ(h.queued(), 0);
        EXPECT_TRUE(log.contains("Yazici yeniden calisiyor: Mutfak -- bekleyen 8 fis yazdirildi"));
        EXPECT_TRUE(h.notices.isEmpty());
        const int onPaper = outage.printed();
        if (onPaper >= 0) {
            EXPECT_EQ(onPaper, 8);
        }
        std::cout << "printer outage (" << outage.kind << "): 8 orders over 32 s, bar tickets in "
                  << "their own poll, " << kitchen.size() << " kitchen tickets out "
                  << pollsAfterReturn * 2 << " s after the return\n";
    }
    if (cups)
        RunTool(QStringLiteral("lpadmin"), {"-x", cupsQueue});
}

} // namespace
