#include "journal/JournalReader.h"
#include "journal/TicketJournal.h"
#include "log/DiagnosticLog.h"
#include "print/TicketMarkup.h"
#include "status/OperatorReport.h"
#include "web/HtmlPages.h"

#include <QTemporaryDir>
#include <benchmark/benchmark.h>

namespace {

// A kitchen ticket of twenty lines, as the builders make it.
JournalEntry KitchenEntry(int number) {
    JournalEntry entry{0,
                       QDateTime::currentDateTime(),
                       QString::number(number),
                       QString::number(5000 + number % 400),
                       QStringLiteral("Salon"),
                       QString::number(number % 40),
                       QStringLiteral("Ayşe"),
                       QStringLiteral("0"),
                       QStringLiteral("Mutfak"),
                       QStringLiteral("escpos://192.168.1.50"),
                       QString(),
                       {kHeading + QStringLiteral("URETIM")}};
    for (int line = 0; line < 19; ++line)
        entry.lines << QStringLiteral("2   Izgara köfte, az pişmiş %1").arg(line);
    return entry;
}

// One ticket written to the journal, as a tick writes it beside printing.
void BM_JournalRecord(benchmark::State& state) {
    QTemporaryDir dir;
    DiagnosticLog log(dir.filePath(QStringLiteral("velmora.log")));
    OperatorReport report(log);
    TicketJournal journal(dir.filePath(QStringLiteral("velmora-gunluk.db")), report, log);
    int number = 0;
    for (auto _ : state)
        journal.Record(KitchenEntry(++number));
}
BENCHMARK(BM_JournalRecord)->Unit(benchmark::kMicrosecond);

// The journal page's work with 10,000 tickets of today in the journal: the newest rows read
// and written as HTML.
void BM_JournalPage10000(benchmark::State& state) {
    QTemporaryDir dir;
    DiagnosticLog log(dir.filePath(QStringLiteral("velmora.log")));
    OperatorReport report(log);
    TicketJournal journal(dir.filePath(QStringLiteral("velmora-gunluk.db")), report, log);
    for (int number = 1; number <= 10000; ++number)
        journal.Record(KitchenEntry(number));
    const JournalReader reader(journal.filePath(), report, log);
    for (auto _ : state) {
        const QString page = HtmlPages::Journal(
            reader.Search(QDate::currentDate(), QString(), 301).mid(0, 300), true, false);
        benchmark::DoNotOptimize(page.size());
    }
}
BENCHMARK(BM_JournalPage10000)->Unit(benchmark::kMillisecond);

} // namespace
