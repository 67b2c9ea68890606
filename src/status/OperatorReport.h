#pragma once

#include <QMap>
#include <QString>
#include <functional>
#include <utility>

class DiagnosticLog;

// The faults the operator hears of, each with its subject.
enum class FaultKind {
    DatabaseLost,       // the connection C; no subject
    QueueUnreadable,    // the tick could not read the queue; no subject
    QueueCheckFailing,  // the check between the ticks could not ask; no subject
    JobFailing,         // the job's ID: a tick on it failed
    JobSetAside,        // the job's ID: it failed too often and waits for its retry
    PrinterFailing,     // the logical printer
    PaperLow,           // the logical printer: its last ticket came out with the paper running low
    Takeover,           // this server took the lease over from another; no subject, no end
    LeaseFailing,       // the lease's checks fail; no subject
    LeaseUnusable,      // the lease cannot work here and the server prints alone; no subject
    JournalUnwritable,  // the journal's file
    JournalUnreadable,  // the journal's file
    ScreenCardsFailing, // the journal's file: the kitchen screens' cards cannot be kept there
};

// A fault starting or ending, as the listener hears of it.
struct FaultEvent {
    FaultKind kind;
    QString subject;
    bool started = true; // false: it ended
    QString message;     // the log line; empty for an end the log does not mention
};

// Every fault the operator has to hear about, and its end: each is told once when it starts and
// once when it ends, however many ticks it lasts. Told means a forced log line and, for the faults
// that stop jobs, a desktop notice that does not wait for an answer (ticks go on meanwhile); the
// listener hears of every start and end, as one event each.
class OperatorReport {
public:
    using Notice = std::function<void(const QString& message)>;
    using Listener = std::function<void(const FaultEvent& event)>;

    explicit OperatorReport(DiagnosticLog& log);

    // Where a desktop shell shows the notices.
    void setNotice(Notice notice) { m_notice = std::move(notice); }
    void setListener(Listener listener) { m_listener = std::move(listener); }

    // The fault starts, or goes on for another reason: the message is told unless it is the one
    // told last for this fault, or empty (the finder logs it in its own words). The listener
    // hears only the start.
    void Started(FaultKind kind, const QString& subject, const QString& message);
    // The fault is over: the message, when there is one, is told. Nothing for a fault not on.
    void Ended(FaultKind kind, const QString& subject, const QString& message = QString());
    // Every fault of the kind is over, untold, as when the operator has all jobs tried again.
    void EndedAll(FaultKind kind);
    bool isOn(FaultKind kind, const QString& subject = QString()) const;
    // A happening with no end that its finder has logged (a takeover): the listener alone hears
    // of it.
    void Happened(FaultKind kind, const QString& message);
    // Every fault still on, to the listener again as if it started now: one that forgot them (a
    // standby's notifications) hears what the checks still find.
    void RetellFaults();

private:
    using Fault = std::pair<FaultKind, QString>;

    void Tell(FaultKind kind, const QString& message);

    DiagnosticLog& m_log;
    Notice m_notice;
    Listener m_listener;
    QMap<Fault, QString> m_on; // the faults going on, with the message told last
};
