#pragma once

#include "journal/JournalEntry.h"
#include "print/Ticket.h"
#include "print/TicketOptions.h"

#include <QDate>
#include <QDateTime>
#include <QList>
#include <QString>
#include <optional>

// A logical printer as the status page shows it.
struct PrinterSnapshot {
    // A printer not installed is Missing whatever else is known of it.
    enum class State { Working, Failing, PaperLow, Missing };

    QString name;
    QString path;
    State state = State::Working;
    QString reason;  // why it fails or warns
    QDateTime since; // when it started failing, when known
    int waitingTickets = 0;
    QDateTime lastTicket; // the last ticket it printed
    // Today's wait of its printed tickets from when the server first saw their job, median and
    // 95th percentile in milliseconds; -1 before its first such ticket.
    qint64 waitP50 = -1;
    qint64 waitP95 = -1;
};

// "Calisiyor", "Kagit azaliyor", "Bulunamadi" or "Calismiyor: " with the reason, as the test
// page prints it.
inline QString PrinterStateText(const PrinterSnapshot& printer) {
    switch (printer.state) {
    case PrinterSnapshot::State::Working:
        return QStringLiteral("Calisiyor");
    case PrinterSnapshot::State::PaperLow:
        return QStringLiteral("Kagit azaliyor");
    case PrinterSnapshot::State::Missing:
        return QStringLiteral("Bulunamadi");
    case PrinterSnapshot::State::Failing:
        break;
    }
    return QStringLiteral("Calismiyor: ") + printer.reason;
}

// A queued job as the status page shows it.
struct QueuedJobSnapshot {
    QString jobId;
    QString bill;
    QString table;
    QString type;
    qint64 ageSeconds = 0;     // since the server first saw it
    QString waitingForPrinter; // the failing printer it waits for, if any
    QString setAsideReason;    // empty unless set aside
    QDateTime nextRetry;       // the automatic retry of a set-aside job, when planned
};

// Where the notifications go, as the status page shows it.
struct NotificationSnapshot {
    QString destination; // the address's scheme and host; empty when nothing is sent
    QDateTime lastTime;  // when the last post ended, if one did
    QString lastError;   // empty when it got through
};

// A kitchen screen as the status page shows it.
struct ScreenSnapshot {
    QString name;
    int connected = 0;  // its pages open now
    QDateTime lastSeen; // when a page of it last said it was there; invalid before the first
    int openCards = -1; // -1 when the cards cannot be read
    // Today's preparation times from drawn to bumped, median and 95th percentile in
    // milliseconds; -1 before the day's first.
    qint64 preparationP50 = -1;
    qint64 preparationP95 = -1;
    QByteArray key; // the secret of its link; empty when it cannot be read
    QString link;   // where a browser opens it, as the page that shows it was reached
};

// What the status page asks of the running server; everything is answered on its own thread.
class StatusBackend {
public:
    virtual ~StatusBackend() = default;

    virtual QList<PrinterSnapshot> Printers() = 0;
    virtual QList<QueuedJobSnapshot> Queue() = 0;
    // The journal's entries of that day, newest first, whose bill or table is the text (all when
    // empty).
    virtual QList<JournalEntry> JournalEntries(const QDate& day, const QString& billOrTable,
                                               int limit) = 0;
    virtual std::optional<JournalEntry> JournalTicket(qint64 id) = 0;
    // The length in characters of a ticket's stored lines, told without reading them; -1 when
    // the journal holds no such ticket.
    virtual qint64 JournalTicketSize(qint64 id) = 0;
    // Whether the journal could not be read at the last ask.
    virtual bool JournalUnreadable() = 0;
    // Prints the ticket on the logical printer, journaled with the job fields of about. Returns
    // the empty text, or why it did not print.
    virtual QString Print(const QString& printer, const Ticket& ticket,
                          const JournalEntry& about) = 0;
    virtual void RetrySetAsideJobs() = 0;
    // The options the printer with that path draws and rings its tickets with; none where it
    // refuses them.
    virtual TicketOptions TicketOptionsOf(const QString&) { return {}; }
    // Which server prints, when several share the database; empty for a server alone.
    virtual QString RoleText() { return QString(); }
    virtual NotificationSnapshot Notifications() = 0;
    // Sends a test notification at once, where there is an address.
    virtual void SendTestNotification() = 0;
    // The server's figures in Prometheus's text format.
    virtual QByteArray Metrics() = 0;
    virtual QList<ScreenSnapshot> Screens() { return {}; }
};
