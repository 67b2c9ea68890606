#include "app/StatusPageBackend.h"

#include "app/ServerParts.h"
#include "core/Error.h"
#include "job/LogicalPrinting.h"
#include "print/EscPosStatus.h"
#include "print/PrinterNames.h"
#include "queue/QueueStatements.h"

namespace {

// The nearest-rank percentile of waits sorted shortest first.
qint64 Percentile(const QList<qint64>& waits, int percent) {
    return waits.at((percent * waits.size() + 99) / 100 - 1);
}

} // namespace

StatusPageBackend::StatusPageBackend(ServerParts& parts, const QString& journalFile,
                                     std::function<void()> retrySetAsideJobs)
    : m_parts(parts)
    , m_journal(journalFile, parts.report, parts.log)
    , m_retry(std::move(retrySetAsideJobs)) {}

QList<PrinterSnapshot> StatusPageBackend::Printers() {
    QList<PrinterSnapshot> printers;
    for (const TYazici& row : m_parts.registry.printers()) {
        PrinterSnapshot printer;
        printer.name = row.Adi;
        printer.path = row.Yol;
        if (!m_parts.printSettings.dummy &&
            FindInstalledPrinter(m_parts.printers, row.Yol).isEmpty()) {
            printer.state = PrinterSnapshot::State::Missing;
        } else if (const PrinterHealth::Failing* failing = m_parts.health.FailingAt(row.Yol)) {
            printer.state = PrinterSnapshot::State::Failing;
            printer.reason = failing->reason;
            printer.since = failing->since;
        } else if (m_parts.engine &&
                   m_parts.engine->WarningAt(row.Yol) == EscPosStatus::kPaperNearEnd) {
            printer.state = PrinterSnapshot::State::PaperLow;
        }
        if (m_parts.poller) {
            for (const QStringList& awaited : m_parts.poller->waitingJobs())
                printer.waitingTickets += HoldsPrinterName(awaited, row.Adi) ? 1 : 0;
        }
        printer.lastTicket = m_journal.LastPrinted(row.Adi);
        const QList<qint64> waits = m_journal.Waits(row.Adi, QDate::currentDate());
        if (!waits.isEmpty()) {
            printer.waitP50 = Percentile(waits, 50);
            printer.waitP95 = Percentile(waits, 95);
        }
        printers.append(printer);
    }
    return printers;
}

QList<QueuedJobSnapshot> StatusPageBackend::Queue() {
    Query rows(m_parts.C, QStringLiteral("DURUM"));
    rows.setSql(QueueStatement());
    rows.Open();
    const QDateTime now = QDateTime::currentDateTime();
    m_sightings.QueueRead(rows, now);
    QList<QueuedJobSnapshot> jobs;
    for (rows.First(); !rows.Eof(); rows.Next()) {
        QueuedJobSnapshot job;
        job.jobId = rows.text(QStringLiteral("ID"));
        job.bill = rows.text(QStringLiteral("AdisyonID"));
        job.table = rows.text(QStringLiteral("MASANO"));
        job.type = rows.text(QStringLiteral("Tur"));
        job.ageSeconds = m_sightings.FirstSeen(job.jobId).secsTo(now);
        if (m_parts.poller) {
            job.waitingForPrinter =
                m_parts.poller->waitingJobs().value(job.jobId).join(QStringLiteral(", "));
            if (const JobFailures::SetAside* setAside =
                    m_parts.poller->failures().SetAsideOf(job.jobId)) {
                job.setAsideReason = setAside->error;
                job.nextRetry = setAside->retryAt;
            }
        }
        jobs.append(job);
    }
    return jobs;
}

QList<JournalEntry> StatusPageBackend::JournalEntries(const QDate& day, const QString& billOrTable,
                                                      int limit) {
    return m_journal.Search(day, billOrTable, limit);
}

std::optional<JournalEntry> StatusPageBackend::JournalTicket(qint64 id) {
    return m_journal.Find(id);
}

TicketOptions StatusPageBackend::TicketOptionsOf(const QString& path) {
    try {
        return m_parts.printers.TicketOptionsOf(path);
    } catch (const PrinterError&) {
        return {}; // the printer fails with the reason, its tickets with it
    }
}

QString StatusPageBackend::RoleText() {
    return m_parts.status.roleText();
}

QList<ScreenSnapshot> StatusPageBackend::Screens() {
    QList<ScreenSnapshot> screens;
    for (const QString& name : m_parts.screens.ScreenNames()) {
        const ScreenHub::State state = m_parts.screens.StateOf(name);
        ScreenSnapshot screen;
        screen.name = name;
        screen.connected = state.connected;
        screen.lastSeen = state.lastSeen;
        screen.openCards = state.openCards.value_or(-1);
        if (!state.preparationTimes.isEmpty()) {
            screen.preparationP50 = Percentile(state.preparationTimes, 50);
            screen.preparationP95 = Percentile(state.preparationTimes, 95);
        }
        screen.key = m_parts.screens.Key(name);
        screens.append(screen);
    }
    return screens;
}

QString StatusPageBackend::Print(const QString& printer, const Ticket& ticket,
                                 const JournalEntry& about) {
    // A tick lets requests through while it waits, and so does a ticket waiting for a screen;
    // either owns the printers until it ends.
    if (!m_parts.engine || (m_parts.poller && m_parts.poller->isBusy()) ||
        m_parts.screens.isWaiting())
        return QStringLiteral("Sunucu şu an bir iş yazdırıyor, birazdan yeniden deneyin");
    TYazimIsi job;
    job.ID = about.jobId;
    job.AdisyonID = about.bill;
    job.Departman = about.department;
    job.MASANO = about.table;
    job.Garson = about.waiter;
    job.Tur = about.jobType;
    JobContext context = m_parts.ContextFor(job, m_noBackups);
    try {
        const TicketDestination destination = PrintOnLogicalPrinter(context, printer, ticket);
        if (destination.path.isEmpty())
            return QStringLiteral("Yazıcı tanımlı değil: ") + printer;
        if (destination.printerMissing)
            return QStringLiteral("Yazıcı bulunamadı: ") + destination.path;
    } catch (const PrinterError& error) {
        return error.message();
    }
    return QString();
}
