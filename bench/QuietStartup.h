#pragma once

#include "app/StartupSequence.h"

// Start-up without its pause and without fetching exchange rates. The benchmarks keep their own
// rather than the tests' helper: scripts/perf-report builds them against earlier revisions too.
inline StartupHooks QuietStartup() {
    return {[](int) {},
            [](const QString&) {
                return QString();
            }};
}
