#include "log/DiagnosticLog.h"

#include <QFile>
#include <QHash>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>

namespace {

constexpr qint64 kMegabyte = 1024 * 1024;

// A megabyte of the entries a server without its printers writes.
QByteArray LogBlock() {
    const QByteArray entry(
        "08.12.2026 14:03:27-Yazici Bulunamadi -- FisID:5000 Yazici: Mutfak\r\n");
    QByteArray block;
    block.reserve(kMegabyte + entry.size());
    while (block.size() < kMegabyte)
        block += entry;
    block.truncate(kMegabyte - kMegabyte % entry.size());
    return block;
}

// A log of that many megabytes, written once per process; cut back to its size at each call,
// so the entries one run appends do not make the next run's log bigger.
QString ExistingLog(int megabytes) {
    static QTemporaryDir dir;
    static QHash<int, qint64> sizes;
    const QString path = dir.filePath(QStringLiteral("velmora-%1mb.log").arg(megabytes));
    QFile file(path);
    if (!sizes.contains(megabytes)) {
        const QByteArray block = LogBlock();
        if (!file.open(QIODevice::WriteOnly))
            qFatal("cannot write %s", qPrintable(path));
        for (int i = 0; i < megabytes; ++i)
            file.write(block);
        file.close();
        sizes.insert(megabytes, file.size());
    }
    if (!file.resize(sizes.value(megabytes)))
        qFatal("cannot resize %s", qPrintable(path));
    return path;
}

// One forced entry appended to an existing log of state.range(0) megabytes. The log starts anew
// at 10 MB, so its largest is 8 MB plus what the fixed iterations append, short of a rotation.
void BM_LogLine(benchmark::State& state) {
    const QString path = ExistingLog(static_cast<int>(state.range(0)));
    const QString message = QStringLiteral("Yazici Bulunamadi -- FisID:5000 Yazici: Mutfak");
    DiagnosticLog log(path);
    const qint64 before = QFile(path).size();
    for (auto _ : state)
        log.LogLine(message, true);
    if (QFile(path).size() - before < state.iterations() * message.size())
        state.SkipWithError("the log did not get its entries");
}
BENCHMARK(BM_LogLine)->Arg(1)->Arg(8)->Iterations(20000)->Unit(benchmark::kMicrosecond);

} // namespace
