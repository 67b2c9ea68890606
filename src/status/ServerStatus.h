#pragma once

#include <QList>
#include <QString>
#include <functional>
#include <utility>

class OperatorReport;

// What the operator sees of the server at a glance, in the tray's tooltip and icon: how many
// jobs wait, which printers fail now and why, how many jobs are set aside. A printer that starts
// failing or fails for another reason is reported (status/OperatorReport.h), so a server without
// a tray tells the same, once per change and not at every tick; its return is logged with the
// tickets it printed (job/PrinterHealth.h).
class ServerStatus {
public:
    using Listener = std::function<void()>;
    // A logical printer and the error of its last ticket.
    using FailingPrinter = std::pair<QString, QString>;

    explicit ServerStatus(OperatorReport& report);

    // Called after every change; the window reads the status again.
    void setListener(Listener listener) { m_listener = std::move(listener); }

    void QueueRead(int waiting, int setAside);
    // Which server of those on the database prints; the lease logs its own changes.
    void RoleChanged(const QString& text);
    void PrinterFailed(const QString& printer, const QString& error);
    // Its check passed: it prints again.
    void PrinterBack(const QString& printer);
    // What the printer warned of with its last ticket; empty when it warned of nothing. The
    // paper running low is a fault until a ticket comes out without it; the engine logs it.
    void PrinterWarned(const QString& printer, const QString& warning);
    // This server took the lease over from another one, as the log line, already written, says.
    void TookOver(const QString& logLine);

    int waiting() const { return m_waiting; }
    // "Etkin sunucu", "Yedek sunucu -- etkin: PC (klasor)", "Yedek sunucu kullanilamiyor: ...",
    // or empty before the lease decided; a standby's second line says what it lacks to print.
    const QString& roleText() const { return m_roleText; }
    // In the order they started failing.
    const QList<FailingPrinter>& failingPrinters() const { return m_failing; }
    // The tooltip: the program's name, the role, the jobs, then each failing printer on its own
    // line.
    QString Summary() const;

private:
    qsizetype IndexOf(const QString& printer) const;
    void Changed();

    OperatorReport& m_report;
    Listener m_listener;
    int m_waiting = 0;
    int m_setAside = 0;
    QString m_roleText;
    QList<FailingPrinter> m_failing;
};
