#pragma once

#include "log/DiagnosticLog.h"

#include <QString>
#include <functional>

// A problem the operator has to hear about: one forced log line and, where a desktop shell
// has connected one, a notice that does not wait for an answer (ticks go on meanwhile).
class OperatorReport {
public:
    using Notice = std::function<void(const QString& message)>;

    explicit OperatorReport(DiagnosticLog& log)
        : m_log(log) {}

    void setNotice(Notice notice) { m_notice = std::move(notice); }

    void Report(const QString& message) {
        m_log.LogLine(message, true);
        if (m_notice)
            m_notice(message);
    }

private:
    DiagnosticLog& m_log;
    Notice m_notice;
};
