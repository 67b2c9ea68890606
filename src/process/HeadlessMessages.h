#pragma once

#include "core/UserMessages.h"
#include "log/DiagnosticLog.h"

#include <ostream>

// The message boxes of a server that has no desktop to show them on: each text becomes a
// forced log line and a line on standard error.
class HeadlessMessages : public UserMessages {
public:
    // The log is the server's own, so that one writer appends to the file.
    HeadlessMessages(DiagnosticLog& log, std::ostream& errorStream);

    void ShowMessage(const QString& text) override;
    // Nobody can answer, so the answer is No and nothing changes. A headless server is closed
    // by SIGTERM or SIGINT, which need no question.
    bool AskQuestion(const QString& text) override;

private:
    void report(const QString& text);

    DiagnosticLog& m_log;
    std::ostream& m_errorStream;
};
