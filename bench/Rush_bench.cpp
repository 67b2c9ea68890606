#include "BenchServer.h"
#include "support/EscPosEmulator.h"
#include "support/ServerDirectory.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QHash>
#include <QProcess>
#include <QSet>
#include <QTcpServer>
#include <QTemporaryDir>
#include <algorithm>
#include <array>
#include <benchmark/benchmark.h>
#include <limits>
#include <vector>

namespace {

struct Rush {
    int orders;
    int seconds;          // over which the orders come, evenly
    bool receipts = true; // else PDF printers
    // The first printer is out of paper for that long from the start, and every order has a
    // line for it and for the second printer.
    int outageSeconds = 0;
    // Every station shows on one kitchen screen, open in headless chromium: each order is timed
    // until the screen drew all its cards.
    bool screen = false;
};

// NaN when nothing was measured.
double Percentile(std::vector<double> values, double share) {
    if (values.empty())
        return std::numeric_limits<double>::quiet_NaN();
    std::sort(values.begin(), values.end());
    const auto index = static_cast<size_t>(share * static_cast<double>(values.size() - 1) + 0.5);
    return values.at(index);
}

// A dinner rush on the real server at its default settings: three kitchen receipt
// printers (emulators that confirm at once) or PDF printers, orders with lines for two or three of
// them, each timed from its queue row's insert until the row leaves the queue. Real time: each run
// lasts as long as the rush. With an outage, the second printer's tickets are timed too, and the
// time from the first printer's return until the queue is empty.
void BM_Rush(benchmark::State& state, const Rush rush) {
    for (auto _ : state) {
        ServerDirectory dir;
        TestDatabase& db = dir.database();
        std::array<EscPosEmulator, 3> printers;
        const QStringList stations{QStringLiteral("Mutfak"), QStringLiteral("Izgara"),
                                   QStringLiteral("Tatli")};
        db.exec(QStringLiteral("INSERT INTO DEPARTMAN VALUES ('1', 'Salon')"));
        quint16 port = 0;
        if (rush.screen) {
            QTcpServer probe;
            probe.listen(QHostAddress::LocalHost);
            port = probe.serverPort();
            probe.close();
            dir.write(QStringLiteral("Velmora.ini"),
                      "[Durum Sayfasi]\r\nPort=" + QByteArray::number(port) + "\r\n");
        }
        for (int i = 0; i < 3; ++i) {
            const QString path = rush.screen     ? QStringLiteral("ekran:Mutfak")
                                 : rush.receipts ? printers[i].path()
                                                 : QStringLiteral("pdf:p%1").arg(i);
            db.exec(QStringLiteral("INSERT INTO A_Yazicilar VALUES ('%1', '%2')")
                        .arg(stations[i], path));
            db.addProduct(QStringLiteral("U%1").arg(i), QStringLiteral("Urun %1").arg(i),
                          stations[i]);
        }
        BenchServer running(dir);
        if (!running.Start(state))
            return;
        PrintServer& server = running.server;
        const QTemporaryDir profile;
        QProcess browser;
        if (rush.screen) {
            browser.start(QStringLiteral("chromium"),
                          {"--headless", "--no-sandbox", "--disable-gpu", "--window-size=1280,800",
                           "--user-data-dir=" + profile.path(),
                           QStringLiteral("http://127.0.0.1:%1/ekran/Mutfak").arg(port)});
            // A first order leaves the queue once the page is open and drew it.
            db.addBill(999, QStringLiteral("1"), QStringLiteral("1"));
            db.addSaleLine(999, QStringLiteral("U0"), 1, 10);
            db.queueJob(999, QStringLiteral("0"));
            QElapsedTimer opening;
            opening.start();
            while (db.count(QStringLiteral("A_YazimKuyrugu")) > 0 && opening.elapsed() < 30000)
                QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
            if (db.count(QStringLiteral("A_YazimKuyrugu")) > 0) {
                state.SkipWithError("the screen did not open in chromium");
                return;
            }
        }

        QHash<qint64, qint64> queuedAt; // job: milliseconds into the rush
        std::vector<double> waits;
        std::vector<qint64> placedAt;
        std::vector<double> secondPrinterWaits;
        qint64 returnedAt = -1;
        if (rush.outageSeconds > 0)
            printers[0].set(EscPosEmulator::Condition::PaperEnd);
        QElapsedTimer clock;
        clock.start();
        const qint64 spacing = rush.seconds * 1000LL / rush.orders;
        int placed = 0;
        // A server that loses orders never empties its queue: the rush ends a minute after the
        // last order or the printer's return, whichever is later, and counts what is left.
        const qint64 giveUpAt = (std::max(rush.seconds, rush.outageSeconds) + 60) * 1000LL;
        while ((placed < rush.orders || !queuedAt.isEmpty()) && clock.elapsed() < giveUpAt) {
            if (placed < rush.orders && clock.elapsed() >= placed * spacing) {
                const qint64 bill = 1000 + placed;
                db.addBill(bill, QStringLiteral("1"), QString::number(placed % 40 + 1));
                const int lines = rush.outageSeconds > 0 ? 2 : 2 + placed % 2;
                const int first = rush.outageSeconds > 0 ? 0 : placed;
                for (int line = 0; line < lines; ++line)
                    db.addSaleLine(bill, QStringLiteral("U%1").arg((first + line) % 3), 1, 10);
                queuedAt.insert(db.queueJob(bill, QStringLiteral("0")), clock.elapsed());
                placedAt.push_back(clock.elapsed());
                ++placed;
            }
            if (returnedAt < 0 && rush.outageSeconds > 0 &&
                clock.elapsed() >= rush.outageSeconds * 1000LL) {
                printers[0].set(EscPosEmulator::Condition::Ready);
                returnedAt = clock.elapsed();
            }
            // The second printer's tickets come out in queue order, one per order.
            const auto secondPrinted = static_cast<size_t>(printers[1].tickets().size());
            while (rush.outageSeconds > 0 && secondPrinterWaits.size() < secondPrinted) {
                const qint64 placedTime = placedAt[secondPrinterWaits.size()];
                secondPrinterWaits.push_back(static_cast<double>(clock.elapsed() - placedTime) /
                                             1000);
            }
            QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
            QSet<qint64> waiting;
            RecordSet rows = db.session().Select(QStringLiteral("SELECT ID FROM A_YazimKuyrugu"));
            for (rows.First(); !rows.Eof(); rows.Next())
                waiting.insert(rows.value(QStringLiteral("ID")).toLongLong());
            for (auto job = queuedAt.begin(); job != queuedAt.end();) {
                if (waiting.contains(job.key())) {
                    ++job;
                    continue;
                }
                waits.push_back(static_cast<double>(clock.elapsed() - job.value()) / 1000);
                job = queuedAt.erase(job);
            }
        }
        state.counters["p50_s"] = Percentile(waits, 0.5);
        state.counters["p95_s"] = Percentile(waits, 0.95);
        state.counters["p99_s"] = Percentile(waits, 0.99);
        state.counters["max_s"] = Percentile(waits, 1);
        state.counters["drained_s"] = static_cast<double>(clock.elapsed()) / 1000;
        state.counters["never_printed"] = static_cast<double>(queuedAt.size());
        // Every rush has every counter, as the CSV report wants: NaN without an outage.
        state.counters["back_to_last_s"] =
            returnedAt < 0 ? std::numeric_limits<double>::quiet_NaN()
                           : static_cast<double>(clock.elapsed() - returnedAt) / 1000;
        state.counters["other_p95_s"] = Percentile(secondPrinterWaits, 0.95);
        state.counters["other_max_s"] = Percentile(secondPrinterWaits, 1);
        server.Close();
        browser.kill();
        browser.waitForFinished();
    }
}

BENCHMARK_CAPTURE(BM_Rush, 20In60s, Rush{20, 60})->Iterations(1)->Unit(benchmark::kSecond);
BENCHMARK_CAPTURE(BM_Rush, 20In60sPdf, Rush{20, 60, false})
    ->Iterations(1)
    ->Unit(benchmark::kSecond);
BENCHMARK_CAPTURE(BM_Rush, 30In30s, Rush{30, 30})->Iterations(1)->Unit(benchmark::kSecond);
BENCHMARK_CAPTURE(BM_Rush, 60In60s, Rush{60, 60})->Iterations(1)->Unit(benchmark::kSecond);
BENCHMARK_CAPTURE(BM_Rush, 60In60sOnAScreen, Rush{60, 60, true, 0, true})
    ->Iterations(1)
    ->Unit(benchmark::kSecond);
// A kitchen printer out of paper for a minute while eight orders come in.
BENCHMARK_CAPTURE(BM_Rush, 8In60sWithA60sOutage, Rush{8, 56, true, 60})
    ->Iterations(1)
    ->Unit(benchmark::kSecond);

} // namespace
