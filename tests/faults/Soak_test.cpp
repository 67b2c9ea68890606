#include "faults/DemoKitchen.h"
#include "print/TicketMarkup.h"
#include "support/BillJobRunner.h"
#include "terminal/Terminal.h"

#include <QElapsedTimer>
#include <QFile>
#include <QTimer>
#include <algorithm>
#include <gtest/gtest.h>
#include <iomanip>
#include <iostream>
#include <random>
#include <vector>

#ifdef Q_OS_WIN
#include <windows.h>
// psapi.h needs the types of windows.h
#include <psapi.h>
#else
#include <unistd.h>
#endif

// AddressSanitizer keeps freed memory in quarantine, so resident memory grows there whatever
// the server does; that build looks for leaks instead.
#if defined(__SANITIZE_ADDRESS__)
#define VELMORA_RESIDENT_MEMORY_MEANINGFUL 0
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define VELMORA_RESIDENT_MEMORY_MEANINGFUL 0
#endif
#endif
#ifndef VELMORA_RESIDENT_MEMORY_MEANINGFUL
#define VELMORA_RESIDENT_MEMORY_MEANINGFUL 1
#endif

namespace {

constexpr int kBills = 200;
constexpr qint64 kFirstBill = 5001;
// Five rounds of orders, a cancellation, the bill, a split bill and the two slips.
const char* const kJobsOfABill[] = {"0", "0", "0", "0", "0", "2", "1", "3", "4", "5"};
constexpr int kJobsPerBill = sizeof(kJobsOfABill) / sizeof(kJobsOfABill[0]);
constexpr int kJobs = kBills * kJobsPerBill;
// Queued before the server's first tick; the rest arrive while it runs.
constexpr int kBacklog = 500;
constexpr int kMeasuredFrom = 500;
constexpr double kMegabyte = 1024.0 * 1024.0;
constexpr bool kResidentMemoryMeaningful = VELMORA_RESIDENT_MEMORY_MEANINGFUL;

qint64 ResidentBytes() {
#ifdef Q_OS_WIN
    PROCESS_MEMORY_COUNTERS counters{};
    if (!GetProcessMemoryInfo(GetCurrentProcess(), &counters, sizeof counters))
        return -1;
    return static_cast<qint64>(counters.WorkingSetSize);
#else
    QFile statm(QStringLiteral("/proc/self/statm"));
    if (!statm.open(QIODevice::ReadOnly))
        return -1;
    const QList<QByteArray> fields = statm.readAll().split(' ');
    return fields.value(1).toLongLong() * ::sysconf(_SC_PAGESIZE);
#endif
}

// One thing a terminal does: write a bill's new lines (each with a note of its own that names
// it on the kitchen tickets) and queue one job.
struct TerminalStep {
    qint64 bill = 0;
    QString type;
    bool opensBill = false;
    QList<Terminal::Line> lines;
};

// An evening of the demo restaurant: every bill's jobs in their order, the bills' steps shuffled
// into one another as the tables order in parallel.
class Evening {
public:
    explicit Evening(const QStringList& products) {
        std::mt19937 random(2026);
        const auto pick = [&random](int count) {
            return static_cast<int>(random() % static_cast<unsigned>(count));
        };
        std::vector<int> nextJob(kBills, 0);
        std::vector<int> open(kBills);
        for (int i = 0; i < kBills; ++i)
            open[static_cast<size_t>(i)] = i;
        while (!open.empty()) {
            const size_t slot = static_cast<size_t>(pick(static_cast<int>(open.size())));
            const int bill = open[slot];
            int& job = nextJob[static_cast<size_t>(bill)];
            TerminalStep step;
            step.bill = kFirstBill + bill;
            step.type = QString::fromLatin1(kJobsOfABill[job]);
            step.opensBill = job == 0;
            if (step.type == QLatin1String("0")) {
                for (int n = 1 + pick(3); n > 0; --n) {
                    step.lines.append({products.at(pick(static_cast<int>(products.size()))),
                                       static_cast<double>(1 + pick(3)), 10,
                                       QStringLiteral("s%1").arg(sales++), pick(3)});
                }
            } else if (step.type == QLatin1String("2")) {
                step.lines.append({products.at(pick(static_cast<int>(products.size()))), 1, 10,
                                   QStringLiteral("r%1").arg(returns++), 0});
            }
            steps.append(step);
            if (++job == kJobsPerBill)
                open.erase(open.begin() + static_cast<std::ptrdiff_t>(slot));
        }
    }

    QList<TerminalStep> steps;
    int sales = 0;
    int returns = 0;
};

// What came out, read document by document and then forgotten so the record does not grow.
struct Printout {
    std::vector<int> saleLines;   // by the number in the note, on production tickets
    std::vector<int> returnLines; // on the production printers' cancellation tickets
    int billDocuments = 0;
    int documents = 0;

    void Read(RecordingPrinterSource& printers) {
        for (int i = 0; i < printers.documentCount(); ++i) {
            const RecordedDocument& document = printers.document(i);
            if (!document.ended || document.aborted)
                continue;
            ++documents;
            if (document.path == DemoPrinterPath("adisyon"))
                ++billDocuments;
            else if (document.lines.value(1).startsWith(QStringLiteral("#+ Sipariş No: ")))
                CountNotes(document.lines);
        }
        printers.forgetDocuments();
    }

    void CountNotes(const Ticket& ticket) {
        for (const QString& noteLine : ticket) {
            if (!noteLine.startsWith(kNote))
                continue;
            const QString line = noteLine.mid(kNote.size());
            bool isNumber = false;
            const int number = line.mid(1).toInt(&isNumber);
            if (!isNumber || number < 0)
                continue;
            if (line.startsWith(QLatin1Char('s')) && number < static_cast<int>(saleLines.size()))
                ++saleLines[static_cast<size_t>(number)];
            else if (line.startsWith(QLatin1Char('r')) &&
                     number < static_cast<int>(returnLines.size()))
                ++returnLines[static_cast<size_t>(number)];
        }
    }
};

int Missing(const std::vector<int>& counts) {
    return static_cast<int>(std::count(counts.begin(), counts.end(), 0));
}

int Repeated(const std::vector<int>& counts) {
    return static_cast<int>(
        std::count_if(counts.begin(), counts.end(), [](int count) { return count > 1; }));
}

// The real poller with the real builders and print engine on recording printers, pauses off,
// while a terminal on a connection of its own keeps ordering between the server's ticks.
class Soak : public ::testing::Test {
protected:
    void SetUp() override {
        runner.LoadPrinters();
        terminalSession.Open({QStringLiteral("QSQLITE"), db.filePath()});
        terminalSession.Execute(QStringLiteral("PRAGMA synchronous=OFF"));
        printout.saleLines.assign(static_cast<size_t>(evening.sales), 0);
        printout.returnLines.assign(static_cast<size_t>(evening.returns), 0);
    }

    static QStringList Products(TestDatabase& database) {
        QStringList codes;
        RecordSet rows =
            database.session().Select(QStringLiteral("SELECT KODU FROM URUN ORDER BY KODU"));
        for (rows.First(); !rows.Eof(); rows.Next())
            codes << rows.text(QStringLiteral("KODU"));
        return codes;
    }

    void Take(const TerminalStep& step) {
        if (step.opensBill) {
            static const char* const departments[] = {"1", "2", "3", "20"};
            terminal.OpenBill({step.bill,
                               QString::fromLatin1(departments[step.bill % 4]),
                               QString::number(step.bill % 40 + 1),
                               {},
                               {}});
        }
        for (const Terminal::Line& line : step.lines) {
            if (step.type == QLatin1String("2"))
                terminal.Return(step.bill, line);
            else
                terminal.Order(step.bill, line);
        }
        if (step.type == QLatin1String("1"))
            terminal.SetTotals(step.bill, {0, 0, 10, 100, 0, 0, 0});
        const QString waiter = QString::number(step.bill % 3 + 1);
        const bool split = step.type == QLatin1String("3");
        terminal.Queue({step.bill,
                        step.type,
                        waiter,
                        {},
                        split ? QStringLiteral("1") : QString(),
                        split ? QStringLiteral("Kişi başı") : QString()});
        ++queuedSoFar;
    }

    int queued() { return db.count(QStringLiteral("A_YazimKuyrugu")); }

    TestDatabase db;
    QStringList installed = SeedDemoRestaurant(db);
    BillJobRunner runner{db, installed};
    DatabaseSession terminalSession{QStringLiteral("terminal")};
    Terminal terminal{terminalSession};
    Evening evening{Products(db)};
    Printout printout;
    int queuedSoFar = 0;
};

TEST_F(Soak, TwoThousandJobsWhileTerminalsKeepOrdering) {
    QElapsedTimer clock;
    clock.start();
    int next = 0;
    while (next < kBacklog)
        Take(evening.steps.at(next++));
    // The terminal writes its next step whenever the server lets waiting events through.
    QTimer terminalTimer;
    QObject::connect(&terminalTimer, &QTimer::timeout, [&] {
        if (next < evening.steps.size())
            Take(evening.steps.at(next++));
    });
    terminalTimer.start(0);

    qint64 residentAtMeasureStart = -1;
    int ticks = 0;
    int processed = 0;
    while ((next < evening.steps.size() || processed < queuedSoFar) && ticks < 3 * kJobs) {
        runner.Tick();
        ++ticks;
        printout.Read(runner.printer().printers());
        processed = queuedSoFar - queued();
        if (residentAtMeasureStart < 0 && processed >= kMeasuredFrom)
            residentAtMeasureStart = ResidentBytes();
    }
    terminalTimer.stop();
    const qint64 residentAtEnd = ResidentBytes();
    const double seconds = static_cast<double>(clock.elapsed()) / 1000.0;

    EXPECT_EQ(queuedSoFar, kJobs);
    EXPECT_EQ(queued(), 0);
    const int unsent = db.count(QStringLiteral("A_AdsSatir"), QStringLiteral("SIP=0"));
    EXPECT_EQ(unsent, 0);
    EXPECT_EQ(db.count(QStringLiteral("A_AdsSatir")), evening.sales);
    const int lost = Missing(printout.saleLines) + Missing(printout.returnLines);
    const int duplicates = Repeated(printout.saleLines) + Repeated(printout.returnLines);
    EXPECT_EQ(lost, 0);
    EXPECT_EQ(duplicates, 0);
    EXPECT_EQ(printout.billDocuments, kBills * 4);
    // Nothing failed: a failing tick or a missing printer would have left a forced line.
    EXPECT_FALSE(QFile::exists(runner.context().log.filePath()));
    ASSERT_GT(residentAtMeasureStart, 0);
    const double growth = static_cast<double>(residentAtEnd - residentAtMeasureStart) / kMegabyte;
    if (kResidentMemoryMeaningful) {
        EXPECT_LT(growth, 5.0);
    }

    std::cout << std::fixed << std::setprecision(1) << "soak: " << processed << " jobs ("
              << kBills * 5 << " production, " << kBills << " cancellation, " << kBills * 4
              << " bills and slips) from " << kBills << " bills in " << ticks << " ticks, "
              << seconds << " s; " << evening.sales << " order lines, " << evening.returns
              << " returns, " << printout.documents << " documents; " << lost << " lost, "
              << duplicates << " duplicates; RSS growth " << growth << " MB (job " << kMeasuredFrom
              << ": " << static_cast<double>(residentAtMeasureStart) / kMegabyte << " MB, job "
              << processed << ": " << static_cast<double>(residentAtEnd) / kMegabyte << " MB"
              << (kResidentMemoryMeaningful ? "" : ", not bounded under AddressSanitizer") << ")\n";
    RecordProperty("jobs", processed);
    RecordProperty("lost", lost);
    RecordProperty("duplicates", duplicates);
    RecordProperty("rss_growth_kb", static_cast<int>(growth * 1024));
    RecordProperty("milliseconds", static_cast<int>(seconds * 1000));
}

} // namespace
