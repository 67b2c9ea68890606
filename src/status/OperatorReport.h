#pragma once

#include "log/DiagnosticLog.h"
#include "status/FaultEvent.h"

#include <QString>
#include <functional>

// A problem the operator has to hear about: one forced log line and, where a desktop shell
// has connected one, a notice that does not wait for an answer (ticks go on meanwhile). Where a
// problem is a fault that starts or ends, the fault listener is told.
class OperatorReport {
public:
    using Notice = std::function<void(const QString& message)>;

    explicit OperatorReport(DiagnosticLog& log)
        : m_log(log) {}

    void setNotice(Notice notice) { m_notice = std::move(notice); }
    void setFaultListener(FaultListener listener) { m_faultListener = std::move(listener); }

    void Report(const QString& message) {
        m_log.LogLine(message, true);
        if (m_notice)
            m_notice(message);
    }
    void Tell(const FaultEvent& event) {
        if (m_faultListener)
            m_faultListener(event);
    }

private:
    DiagnosticLog& m_log;
    Notice m_notice;
    FaultListener m_faultListener;
};
