#include "BenchServer.h"
#include "support/ServerDirectory.h"

#include <QEventLoop>
#include <QSqlDriver>
#include <QTimer>
#include <benchmark/benchmark.h>
#include <ctime>
#include <sqlite3.h>

namespace {

int CountStatement(unsigned, void* count, void*, void*) {
    ++*static_cast<qint64*>(count);
    return 0;
}

// The real server at its default settings, idle for a minute on an empty queue: the CPU time of
// the process and the statements its connection starts, as SQLite counts them. scripts/perf-report
// builds this benchmark against earlier revisions too.
void BM_Idle(benchmark::State& state) {
    for (auto _ : state) {
        ServerDirectory dir;
        BenchServer running(dir);
        if (!running.Start(state))
            return;
        PrintServer& server = running.server;
        sqlite3* connection =
            *static_cast<sqlite3* const*>(server.parts().C.database().driver()->handle().data());
        qint64 statements = 0;
        sqlite3_trace_v2(connection, SQLITE_TRACE_STMT, CountStatement, &statements);
        const std::clock_t cpuBefore = std::clock();
        QEventLoop minute;
        QTimer::singleShot(60000, &minute, &QEventLoop::quit);
        minute.exec();
        state.counters["cpu_ms"] =
            static_cast<double>(std::clock() - cpuBefore) * 1000 / CLOCKS_PER_SEC;
        sqlite3_trace_v2(connection, 0, nullptr, nullptr);
        state.counters["statements"] = static_cast<double>(statements);
        server.Close();
    }
}

BENCHMARK(BM_Idle)->Iterations(1)->Unit(benchmark::kSecond);

} // namespace
