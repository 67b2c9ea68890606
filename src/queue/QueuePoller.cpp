#include "queue/QueuePoller.h"

#include "core/Error.h"
#include "db/IntegerValue.h"
#include "job/PrinterHealth.h"
#include "job/WriteFence.h"
#include "kitchen/KitchenTickets.h"
#include "log/DiagnosticLog.h"
#include "print/PrinterNames.h"
#include "print/TicketPrinter.h"
#include "queue/QueueStatements.h"
#include "status/ServerStatus.h"

#include <QCoreApplication>
#include <QSet>
#include <optional>
#include <utility>

namespace {

// Clears the busy flag however the tick ends.
class BusyScope {
public:
    explicit BusyScope(bool& busy)
        : m_busy(busy) {
        m_busy = true;
    }
    ~BusyScope() { m_busy = false; }
    BusyScope(const BusyScope&) = delete;
    BusyScope& operator=(const BusyScope&) = delete;

private:
    bool& m_busy;
};

bool isKitchenJob(const QString& type) {
    return type == QLatin1String("0") || type == QLatin1String("2");
}

} // namespace

QueuePoller::QueuePoller(TYazimIsi& job, const JobContext& context, BillBuilders builders,
                         OperatorReport& report, ConnectionRecovery& connection)
    : m_job(job)
    , m_context(context)
    , m_builders(std::move(builders))
    , m_queue(context.C, QStringLiteral("Q"))
    , m_failures(report)
    , m_connection(connection)
    , m_queriesOpenedAfter(connection.reconnections()) {
    Q_ASSERT(&context.job == &job);
}

bool QueuePoller::Tick() {
    QCoreApplication::processEvents();
    if (m_busy)
        return false;
    const BusyScope busy(m_busy);
    // Called from the event loop: nothing may leave the tick.
    try {
        return RunTick();
    } catch (const FenceLost&) {
        return false; // another server prints this job now
    } catch (const Error& error) {
        TickFailed(error);
    } catch (const std::exception& error) {
        TickFailed(Error(QString::fromLocal8Bit(error.what())));
    } catch (...) {
        TickFailed(Error(QStringLiteral("Bilinmeyen hata")));
    }
    return false;
}

void QueuePoller::setClock(const JobFailures::Clock& clock) {
    m_failures.setClock(clock);
    m_context.health.setClock(clock);
}

void QueuePoller::RetrySetAsideJobs() {
    const int setAside = m_failures.Retry();
    ShowQueueStatus(m_context.status.waiting());
    m_context.log.LogLine(
        QStringLiteral("Bekleyen isler yeniden deneniyor -- atlanan is sayisi: %1").arg(setAside),
        true);
}

bool QueuePoller::RunTick() {
    if (!ConnectionReady())
        return false;
    m_context.health.CheckFailing(
        [this](const QString& path) { return m_context.printer.CheckPrinter(path); });
    m_queue.Requery();
    m_failures.QueueRead();
    m_sightings.QueueRead(m_queue, QDateTime::currentDateTime());

    QSet<QString> queuedJobs;
    for (m_queue.First(); !m_queue.Eof(); m_queue.Next())
        queuedJobs.insert(m_queue.text(QStringLiteral("ID")));
    // Jobs no longer in the queue wait for nothing, fail no more and are finished with.
    m_waiting.removeIf([&queuedJobs](const auto& job) { return !queuedJobs.contains(job.key()); });
    m_failures.KeepOnly(queuedJobs);
    m_finished.KeepOnly(queuedJobs);
    ShowQueueStatus(m_queue.recordCount());

    // The first job that gets further ends the tick; the ones before it wait for a printer or
    // are set aside, and are passed over. A printer that a bill's job waits for holds back the
    // bill's later jobs there, so one printer gets one bill's tickets in queue order.
    QSet<QString> triedJobs;
    QHash<QString, QStringList> heldForBill;
    JobOutcome outcome = JobOutcome::NoFurther;
    for (m_queue.First(); !m_queue.Eof() && outcome == JobOutcome::NoFurther; m_queue.Next()) {
        const QString id = m_queue.text(QStringLiteral("ID"));
        // A job listed twice (a department code in both lists) is tried once.
        if (triedJobs.contains(id))
            continue;
        triedJobs.insert(id);
        const QString bill = m_queue.text(QStringLiteral("AdisyonID"));
        if (m_failures.isDue(id))
            outcome = TryJob(heldForBill.value(bill));
        heldForBill[bill] += m_waiting.value(id);
    }
    m_context.health.WaitingDone(AwaitedPrinters());
    return outcome == JobOutcome::Further;
}

QueuePoller::JobOutcome QueuePoller::TryJob(const QStringList& heldPrinters) {
    const int printedBefore = m_context.health.ticketsPrinted();
    m_jobWaitsFor.clear();
    m_context.heldPrinters = heldPrinters;
    std::optional<Error> failure;
    try {
        // Assigned field by field: the print engine reads the bill number where it is.
        m_job = JobRecordOf(m_queue);
        m_job.firstSeen = m_sightings.FirstSeen(m_job.ID);
        // Printed at an earlier attempt whose deletion failed: only the deletion is left.
        if (!m_finished.Holds(m_job)) {
            PrepareLineQueries();
            Dispatch();
        }
    } catch (const PrinterWaiting& waiting) {
        Waits(waiting);
    } catch (const Error& error) {
        failure = error;
    } catch (const std::exception& error) {
        failure = Error(QString::fromLocal8Bit(error.what()));
    }
    return FinishJob(m_context.health.ticketsPrinted() != printedBefore, failure);
}

QueuePoller::JobOutcome QueuePoller::FinishJob(bool printed, const std::optional<Error>& failure) {
    if (printed)
        m_failures.JobProgressed(m_job.ID);
    if (failure)
        return JobFailed(*failure);
    if (!m_jobWaitsFor.isEmpty()) {
        m_waiting.insert(m_job.ID, m_jobWaitsFor);
        return printed ? JobOutcome::Further : JobOutcome::NoFurther;
    }
    try {
        m_context.fence.Execute(DeleteJobStatement(IntegerValue(m_job.ID, QStringLiteral("ID"))));
    } catch (const Error& error) {
        m_finished.Add(m_job);
        return JobFailed(error, true);
    } catch (const FenceLost&) {
        // Printed all the same: should the lease come back to this server, only the deletion
        // is left, as after a failed one.
        m_finished.Add(m_job);
        throw;
    }
    m_finished.Deleted(m_job.ID);
    m_failures.JobDone(m_job.ID);
    m_printedTickets.Forget(m_job.ID);
    m_waiting.remove(m_job.ID);
    ShowQueueStatus(m_queue.recordCount() - 1);
    return JobOutcome::Further;
}

QueuePoller::JobOutcome QueuePoller::JobFailed(const Error& error, bool onlyDeletionLeft) {
    if (m_connection.LostAfterFailure(error))
        return JobOutcome::TickEnds;
    if (onlyDeletionLeft)
        m_failures.DeletionFailed(m_job, error.message());
    else
        m_failures.JobFailed(m_job, error.message());
    ShowQueueStatus(m_context.status.waiting());
    return JobOutcome::NoFurther;
}

void QueuePoller::Waits(const PrinterWaiting& waiting) {
    if (!HoldsPrinterName(m_jobWaitsFor, waiting.printer()))
        m_jobWaitsFor << waiting.printer();
}

QStringList QueuePoller::AwaitedPrinters() const {
    QStringList printers;
    for (const QStringList& awaited : m_waiting)
        printers += awaited;
    return printers;
}

bool QueuePoller::ConnectionReady() {
    if (m_connection.isLost() && !m_connection.Reconnect())
        return false;
    if (m_queriesOpenedAfter == m_connection.reconnections())
        return true;
    m_queriesOpenedAfter = m_connection.reconnections();
    // Results read on the old connection are dropped; each query is opened again by its next
    // user, Q right away by this tick.
    m_context.A.Close();
    m_context.EKA.Close();
    m_context.X.Close();
    m_queue.Close();
    return true;
}

void QueuePoller::PrepareLineQueries() {
    const bool production = m_job.Tur == QLatin1String("0");
    const bool pendingOnly = isKitchenJob(m_job.Tur) || m_job.MASANO == QLatin1String("ZZH") ||
                             m_job.MASANO == QLatin1String("ZH");
    const qint64 billId = IntegerValue(m_job.AdisyonID, QStringLiteral("AdisyonID"));
    const QString lineKind =
        m_job.Tur == QLatin1String("2") ? QStringLiteral("I") : QStringLiteral("A");
    for (Query* lines : {&m_context.A, &m_context.EKA}) {
        lines->Close();
        lines->setParam(QStringLiteral("SIP"), lines == &m_context.EKA || !production);
        lines->setParam(QStringLiteral("ID"), billId);
        lines->setParam(QStringLiteral("YAZ"), !pendingOnly);
        lines->setParam(QStringLiteral("IADE"), lineKind);
        lines->Open();
    }
}

void QueuePoller::Dispatch() {
    const QString& type = m_job.Tur;
    if (isKitchenJob(type))
        PrintKitchenTickets();
    else if (type == QLatin1String("1"))
        RunBuilder(m_builders.bill);
    else if (type == QLatin1String("3"))
        RunBuilder(m_builders.splitBill);
    else if (type == QLatin1String("4"))
        RunBuilder(m_builders.eadisyonSlip);
    else if (type == QLatin1String("5"))
        RunBuilder(m_builders.posAccountSlip);
}

void QueuePoller::PrintKitchenTickets() {
    ResolveProductionPrinters(m_context, m_printers);
    AddOwedExtraPrinters(m_context, m_printers);

    // A printer that fails holds back only its own ticket.
    const auto printEach = [this](const QStringList& names, const QString& label,
                                  auto printTicket) {
        for (const QString& name : names) {
            m_context.log.LogLine(QLatin1Char('+') + m_job.AdisyonID + label + name, false);
            try {
                printTicket(m_context, name, m_printedTickets);
            } catch (const PrinterWaiting& waiting) {
                Waits(waiting);
            }
        }
    };
    printEach(m_printers.production, QStringLiteral("-Yazici: "), PrintProductionTicket);
    printEach(m_printers.extra, QStringLiteral("-EkYazici: "), PrintExtraProductionTicket);
    HoldExtraPrintersBehindWaitingTickets();
}

// An extra ticket whose production ticket waits has no lines yet and is passed over; its
// printer still owes the bill that ticket, so the bill's later jobs wait there too.
void QueuePoller::HoldExtraPrintersBehindWaitingTickets() {
    for (const auto& [production, extra] : m_printers.extraBehind)
        if (HoldsPrinterName(m_jobWaitsFor, production) && !HoldsPrinterName(m_jobWaitsFor, extra))
            m_jobWaitsFor << extra;
}

void QueuePoller::RunBuilder(const BillBuilders::Builder& builder) {
    if (!builder)
        throw Error(QStringLiteral("Bu is turu icin yazdirma tanimli degil: ") + m_job.Tur);
    builder(m_context);
}

void QueuePoller::TickFailed(const Error& error) {
    if (!m_connection.LostAfterFailure(error))
        m_failures.QueueFailed(error.message());
}

void QueuePoller::ShowQueueStatus(int waiting) {
    m_context.status.QueueRead(waiting, m_failures.setAsideCount());
}

void QueuePoller::ReleasePrinterLists() {
    m_printers = PrinterLists();
}
