#pragma once

#include <QString>
#include <functional>

// A fault the operator hears of, as it starts and as it ends, or a happening with no end (a
// takeover). The subject tells one fault of a kind from another: a printer's logical name, a
// job's text; empty where the server has only one (its database).
struct FaultEvent {
    enum class Kind { PrinterFailing, PaperLow, DatabaseLost, JobSetAside, Takeover };
    enum class Phase { Started, Ended, Happened };

    Kind kind;
    Phase phase;
    QString subject;
    QString detail; // the reason, or what ended it
};

using FaultListener = std::function<void(const FaultEvent& event)>;
