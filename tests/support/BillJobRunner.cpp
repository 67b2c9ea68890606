#include "support/BillJobRunner.h"

#include "queue/ServerQueries.h"
#include "tickets/TicketBuilders.h"

BillJobRunner::BillJobRunner(TestDatabase& db, QStringList installedPrinters)
    : BillJobRunner(db.session(), std::move(installedPrinters), nullptr) {}

BillJobRunner::BillJobRunner(DatabaseSession& session, QStringList installedPrinters)
    : BillJobRunner(session, std::move(installedPrinters), nullptr) {}

BillJobRunner::BillJobRunner(TestDatabase& db, PrinterSource& printers)
    : BillJobRunner(db.session(), {}, &printers) {}

BillJobRunner::BillJobRunner(DatabaseSession& session, QStringList installedPrinters,
                             PrinterSource* realPrinters)
    : A(session, QStringLiteral("A"))
    , m_EKA(session, QStringLiteral("EKA"))
    , m_X(session, QStringLiteral("X"))
    , m_YAZ(session, QStringLiteral("YAZ"))
    , m_settings(m_X)
    , m_log(m_dir.filePath(QStringLiteral("Velmora.log")))
    , m_printer(job, m_log, std::move(installedPrinters))
    , m_engine(realPrinters ? std::make_unique<PrintEngine>(job.AdisyonID, PrintSettings{}, m_log,
                                                            *realPrinters, [](int) {})
                            : nullptr)
    , m_recovery(session, m_report)
    , m_unfenced(session)
    , m_context{job,
                A,
                m_EKA,
                m_X,
                session,
                m_unfenced,
                m_settings,
                m_registry,
                m_engine ? static_cast<TicketPrinter&>(*m_engine) : m_printer,
                m_backups,
                m_health,
                m_status,
                m_log,
                options}
    , m_poller(job, m_context,
               {BuildBillTicket, BuildSplitBillTicket, BuildEadisyonSlip, BuildPosAccountSlip},
               m_report, m_recovery) {
    SetQueryStatements(m_poller.Q(), A, m_EKA, m_X, m_YAZ);
    m_poller.setClock([this] { return m_now; });
}

void BillJobRunner::LoadPrinters() {
    m_registry.LoadPrinterRegistry(m_YAZ);
}

QList<Ticket> BillJobRunner::PrintedTickets() const {
    QList<Ticket> tickets;
    const RecordingPrinterSource& printers = m_printer.printers();
    for (int i = 0; i < printers.documentCount(); ++i) {
        if (printers.document(i).ended && !printers.document(i).aborted)
            tickets << printers.document(i).lines;
    }
    return tickets;
}
