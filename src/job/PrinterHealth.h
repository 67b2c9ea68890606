#pragma once

#include <QDateTime>
#include <QHash>
#include <QList>
#include <QString>
#include <QStringList>
#include <functional>

class DiagnosticLog;
class ServerStatus;

// The printers whose last ticket failed, by path. A failing printer is not tried again by the
// tickets behind it: they wait (or go to its backup), so an outage costs the tick no time and
// the other printers print as usual. Every few seconds the failing printers are checked by
// themselves; once one is ready its waiting tickets print in queue order, and one forced log
// line says how many came out after its return.
class PrinterHealth {
public:
    using Clock = std::function<QDateTime()>;
    // Why the printer of a path cannot print now; empty when it can.
    using Check = std::function<QString(const QString& path)>;

    static constexpr int kCheckIntervalMs = 5000;

    struct Failing {
        QString reason;
        QDateTime since;
    };

    PrinterHealth(ServerStatus& status, DiagnosticLog& log);

    void setClock(Clock clock) { m_clock = std::move(clock); }
    QDateTime now() const { return m_clock(); }

    // Null when the printer of that path is not known to fail.
    const Failing* FailingAt(const QString& path) const;
    // The logical name printed or failed on the path.
    void Printed(const QString& name, const QString& path);
    void Failed(const QString& name, const QString& path, const QString& reason);
    // Checks each failing printer whose time has come; a ready one prints again from now on.
    void CheckFailing(const Check& check);
    // After a pass over the queue: a printer back at work for which no job waits any longer
    // says so in the log, with the tickets it printed since it came back.
    void WaitingDone(const QStringList& awaitedPrinters);

    // Tickets printed on any printer so far: a job that printed one got further.
    int ticketsPrinted() const { return m_ticketsPrinted; }

private:
    struct Printer {
        QString path;      // as first written: device paths and folders are case-sensitive
        QStringList names; // the logical names that printed or failed on it
        bool failing = false;
        Failing failure;
        QDateTime nextCheck;
        bool back = false; // ready again, its waiting tickets not all out yet
        int printedSinceBack = 0;
    };

    Printer& At(const QString& name, const QString& path);

    ServerStatus& m_status;
    DiagnosticLog& m_log;
    Clock m_clock;
    QHash<QString, Printer> m_printers; // by the path, case-folded
    int m_ticketsPrinted = 0;
};
