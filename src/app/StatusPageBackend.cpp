#include "app/StatusPageBackend.h"

#include "app/ServerParts.h"
#include "core/Error.h"
#include "job/LogicalPrinting.h"
#include "job/WriteFence.h"
#include "metrics/PrometheusText.h"
#include "print/EscPosStatus.h"
#include "print/PrinterNames.h"
#include "queue/QueueStatements.h"

namespace {

const QString kStandby =
    QStringLiteral("Bu sunucu yedek; yazdırma etkin sunucunun sayfasından yapılır");

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

PrinterSnapshot StatusPageBackend::StateOf(const TYazici& row) {
    PrinterSnapshot printer;
    printer.name = row.Adi;
    printer.path = row.Yol;
    if (!m_parts.printSettings.dummy && FindInstalledPrinter(m_parts.printers, row.Yol).isEmpty()) {
        printer.state = PrinterSnapshot::State::Missing;
    } else if (const PrinterHealth::Failing* failing = m_parts.health.FailingAt(row.Yol)) {
        printer.state = PrinterSnapshot::State::Failing;
        printer.reason = failing->reason;
        printer.since = failing->since;
    } else if (m_parts.engine &&
               m_parts.engine->WarningAt(row.Yol) == EscPosStatus::kPaperNearEnd) {
        printer.state = PrinterSnapshot::State::PaperLow;
    }
    return printer;
}

QList<PrinterSnapshot> StatusPageBackend::Printers() {
    QList<PrinterSnapshot> printers;
    for (const TYazici& row : m_parts.registry.printers()) {
        PrinterSnapshot printer = StateOf(row);
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

NotificationSnapshot StatusPageBackend::Notifications() {
    const NotificationSender& sender = m_parts.notificationSender;
    if (!sender.isEnabled())
        return {};
    return {sender.destination(), sender.lastOutcome().time, sender.lastOutcome().error};
}

void StatusPageBackend::SendTestNotification() {
    m_parts.notifier.SendTest();
}

QByteArray StatusPageBackend::Metrics() {
    PrometheusText text;
    const auto gauge = [&text](const char* name, const char* help, double value) {
        text.Family(QLatin1String(name), QLatin1String("gauge"), QLatin1String(help));
        text.Sample(QLatin1String(name), {}, value);
    };
    text.Family(QLatin1String("velmora_build_info"), QLatin1String("gauge"),
                QLatin1String("Always 1; the version of the running server as a label."));
    text.Sample(QLatin1String("velmora_build_info"),
                {{QLatin1String("version"), QStringLiteral(VELMORA_VERSION)}}, 1);
    const bool prints = m_parts.lease.prints();
    gauge("velmora_active", "1 on the server that prints, 0 on a standby.", prints ? 1 : 0);
    gauge("velmora_database_up", "1 while the server reaches its database.",
          !m_parts.recovery.isLost() && m_parts.lease.reachesDatabase() ? 1 : 0);
    // A standby reads no queue and checks no printer: it would only repeat old news.
    if (prints && m_parts.poller) {
        gauge("velmora_queue_jobs", "Jobs in the print queue at the last tick.",
              m_parts.status.waiting());
        gauge("velmora_jobs_set_aside", "Queued jobs set aside after repeated failures.",
              m_parts.poller->failures().setAsideCount());
        const QLatin1String up("velmora_printer_up");
        text.Family(up, QLatin1String("gauge"),
                    QLatin1String("1 while the logical printer prints, 0 while it fails or is not "
                                  "installed on this machine."));
        for (const TYazici& row : m_parts.registry.printers()) {
            const PrinterSnapshot::State state = StateOf(row).state;
            const bool works = state == PrinterSnapshot::State::Working ||
                               state == PrinterSnapshot::State::PaperLow;
            text.Sample(up, {{QLatin1String("printer"), row.Adi}}, works ? 1 : 0);
        }
    }
    m_parts.metrics.Write(text);
    return text.text();
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
    // The fence is asked only right before the bytes: a standby says so before any printer.
    if (!m_parts.lease.prints())
        return kStandby;
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
    } catch (const FenceLost&) {
        // Not an Error: left alone it would end the server from inside the page's handler.
        return kStandby;
    }
    return QString();
}
