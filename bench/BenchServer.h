#pragma once

#include "app/PrintServer.h"
#include "support/RecordingMessages.h"
#include "support/ServerDirectory.h"

#include <benchmark/benchmark.h>

// The real server in a prepared directory, started without its pause and without fetching
// exchange rates. The benchmarks keep their own rather than the tests' helpers: scripts/perf-report
// builds them against earlier revisions too.
struct BenchServer {
    explicit BenchServer(ServerDirectory& dir)
        : log(dir.logPath())
        , server(dir.path(), log, messages,
                 {[](int) {},
                  [](const QString&) {
                      return QString();
                  }}) {}

    // False, with the benchmark skipped, when the server did not start.
    bool Start(benchmark::State& state) {
        if (server.FormCreate() == StartupOutcome::Running)
            return true;
        state.SkipWithError("the server did not start");
        return false;
    }

    RecordingMessages messages;
    DiagnosticLog log;
    PrintServer server;
};
