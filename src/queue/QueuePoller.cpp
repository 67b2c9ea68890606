#include "queue/QueuePoller.h"

#include "core/Error.h"
#include "core/NumberForms.h"
#include "queue/IntegerValue.h"
#include "queue/KitchenTickets.h"
#include "queue/QueueStatements.h"
#include "queue/ServerStatus.h"

#include <QCoreApplication>
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

QueuePoller::QueuePoller(TYazimIsi& job, const JobContext& context, BillBuilders builders)
    : m_job(job)
    , m_context(context)
    , m_builders(std::move(builders))
    , m_queue(context.C, QStringLiteral("Q"))
    , m_report(context.log)
    , m_failures(m_report)
    , m_connection(context.C, m_report) {
    Q_ASSERT(&context.job == &job);
}

void QueuePoller::TTimer() {
    QCoreApplication::processEvents();
    if (m_busy)
        return;
    const BusyScope busy(m_busy);
    m_jobTaken = false;
    // The timer calls in from the event loop: nothing may leave this handler.
    try {
        RunTick();
    } catch (const Error& error) {
        TickFailed(error.message());
    } catch (const std::exception& error) {
        TickFailed(QString::fromLocal8Bit(error.what()));
    } catch (...) {
        TickFailed(QStringLiteral("Bilinmeyen hata"));
    }
}

void QueuePoller::RetrySetAsideJobs() {
    const int setAside = m_failures.Retry();
    ShowQueueStatus(m_context.status.waiting());
    m_context.log.LogLine(
        QStringLiteral("Bekleyen isler yeniden deneniyor -- atlanan is sayisi: %1").arg(setAside),
        true);
}

void QueuePoller::RunTick() {
    if (m_connection.isLost())
        RestoreConnection();
    if (m_connection.isLost() || !TakeFirstJob())
        return;
    ReadCurrentJob();
    m_jobTaken = true;
    PrepareLineQueries();
    Dispatch();
    m_context.C.Execute(DeleteJobStatement(IntegerValue(m_job.ID, QStringLiteral("ID"))));
    m_failures.JobDone(m_job.ID);
    m_printedTickets.Forget(m_job.ID);
    ShowQueueStatus(m_queue.recordCount() - 1);
}

void QueuePoller::RestoreConnection() {
    if (!m_connection.Reconnect())
        return;
    // Results read on the old connection are dropped; each query is opened again by its next
    // user, Q right away by this tick.
    m_context.A.Close();
    m_context.EKA.Close();
    m_context.X.Close();
    m_queue.Close();
}

bool QueuePoller::TakeFirstJob() {
    m_queue.Requery();
    m_failures.QueueRead();
    ShowQueueStatus(m_queue.recordCount());
    for (m_queue.First(); !m_queue.Eof(); m_queue.Next()) {
        if (!m_failures.isSetAside(m_queue.text(QStringLiteral("ID"))))
            return true;
    }
    return false;
}

void QueuePoller::ReadCurrentJob() {
    const auto text = [this](const char* column) {
        return m_queue.text(QLatin1String(column));
    };
    const auto amount = [this](const char* column) {
        return AmountText(m_queue.number(QLatin1String(column)));
    };
    m_job.YaziciAdi = text("YaziciAdi");
    m_job.ID = text("ID");
    m_job.AdisyonID = text("AdisyonID");
    m_job.MASANO = text("MASANO");
    m_job.Garson = text("Garson");
    m_job.Departman = text("Departman");
    m_job.DeptKodu = text("DeptKodu");
    m_job.Tur = text("Tur");
    m_job.INDORAN = text("INDORAN");
    m_job.INDTOPLAM = amount("INDTOPLAM");
    m_job.SERVISORAN = text("SERVISORAN");
    m_job.SERVISTUTAR = amount("SERVISTUTAR");
    m_job.TOPLAM = amount("TOPLAM");
    m_job.ParcaliHesap = text("ParcaliHesap");
    m_job.ParcaliTur = text("ParcaliTur");
    m_job.ALAN = text("ALAN");
    m_job.ADISYONNO = text("ADISYONNO");
    m_job.FaturaNo = text("FaturaNo");
    m_job.FaturaETTN = text("FaturaETTN");
    m_job.ACIKLAMA = text("ACIKLAMA");
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

    DiagnosticLog& log = m_context.log;
    for (const QString& name : std::as_const(m_printers.production)) {
        log.LogLine(QLatin1Char('+') + m_job.AdisyonID + QStringLiteral("-Yazici: ") + name, false);
        PrintProductionTicket(m_context, name, m_printedTickets);
        m_failures.JobProgressed(m_job.ID);
    }
    for (const QString& name : std::as_const(m_printers.extra)) {
        log.LogLine(QLatin1Char('+') + m_job.AdisyonID + QStringLiteral("-EkYazici: ") + name,
                    false);
        PrintExtraProductionTicket(m_context, name, m_printedTickets);
        m_failures.JobProgressed(m_job.ID);
    }
}

void QueuePoller::RunBuilder(const BillBuilders::Builder& builder) {
    if (!builder)
        throw Error(QStringLiteral("Bu is turu icin yazdirma tanimli degil: ") + m_job.Tur);
    builder(m_context);
}

void QueuePoller::TickFailed(const QString& error) {
    if (m_connection.LostAfterFailure(error))
        return;
    if (m_jobTaken) {
        m_failures.JobFailed(m_job, error);
        ShowQueueStatus(m_context.status.waiting());
    } else {
        m_failures.QueueFailed(error);
    }
}

void QueuePoller::ShowQueueStatus(int waiting) {
    m_context.status.QueueRead(waiting, m_failures.setAsideCount());
}

void QueuePoller::ReleasePrinterLists() {
    m_printers = PrinterLists();
}
