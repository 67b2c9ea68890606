#include "support/BillJobRunner.h"

#include "queue/QueueStatements.h"
#include "tickets/NumberForms.h"
#include "tickets/TicketBuilders.h"

BillJobRunner::BillJobRunner(TestDatabase& db, QStringList installedPrinters)
    : BillJobRunner(db, std::move(installedPrinters), nullptr) {}

BillJobRunner::BillJobRunner(TestDatabase& db, PrinterSource& printers)
    : BillJobRunner(db, {}, &printers) {}

BillJobRunner::BillJobRunner(TestDatabase& db, QStringList installedPrinters,
                             PrinterSource* realPrinters)
    : A(db.session(), QStringLiteral("A"))
    , m_db(db)
    , m_Q(db.session(), QStringLiteral("Q"))
    , m_EKA(db.session(), QStringLiteral("EKA"))
    , m_X(db.session(), QStringLiteral("X"))
    , m_settings(m_X)
    , m_log(m_dir.filePath(QStringLiteral("Velmora.log")))
    , m_printer(job, m_log, std::move(installedPrinters))
    , m_engine(realPrinters ? std::make_unique<PrintEngine>(job, PrintSettings{}, m_log,
                                                            *realPrinters, [](int) {})
                            : nullptr)
    , m_context{job,          A,
                m_EKA,        m_X,
                db.session(), m_settings,
                m_registry,   m_engine ? static_cast<TicketPrinter&>(*m_engine) : m_printer,
                m_log,        options} {
    m_Q.setSql(QueueStatement());
    A.setSql(LineStatement());
    m_EKA.setSql(ExtraLineStatement());
}

void BillJobRunner::LoadPrinters() {
    Query YAZ(m_db.session(), QStringLiteral("YAZ"));
    m_registry.LoadPrinterRegistry(YAZ);
}

void BillJobRunner::Tick() {
    m_Q.Requery();
    if (m_Q.isEmpty())
        return;
    m_Q.First();
    ReadCurrentJob();
    PrepareLineQueries();
    Dispatch();
    m_db.exec(DeleteJobStatement(job.ID.toLongLong()));
}

void BillJobRunner::ReadCurrentJob() {
    const auto text = [this](const char* column) {
        return m_Q.text(QLatin1String(column));
    };
    const auto amount = [this](const char* column) {
        return AmountText(m_Q.number(QLatin1String(column)));
    };
    job.YaziciAdi = text("YaziciAdi");
    job.ID = text("ID");
    job.AdisyonID = text("AdisyonID");
    job.MASANO = text("MASANO");
    job.Garson = text("Garson");
    job.Departman = text("Departman");
    job.DeptKodu = text("DeptKodu");
    job.Tur = text("Tur");
    job.INDORAN = text("INDORAN");
    job.INDTOPLAM = amount("INDTOPLAM");
    job.SERVISORAN = text("SERVISORAN");
    job.SERVISTUTAR = amount("SERVISTUTAR");
    job.TOPLAM = amount("TOPLAM");
    job.ParcaliHesap = text("ParcaliHesap");
    job.ParcaliTur = text("ParcaliTur");
    job.ALAN = text("ALAN");
    job.ADISYONNO = text("ADISYONNO");
    job.FaturaNo = text("FaturaNo");
    job.FaturaETTN = text("FaturaETTN");
    job.ACIKLAMA = text("ACIKLAMA");
}

void BillJobRunner::PrepareLineQueries() {
    const bool kitchen = job.Tur == QLatin1String("0") || job.Tur == QLatin1String("2");
    const bool pendingOnly =
        kitchen || job.MASANO == QLatin1String("ZZH") || job.MASANO == QLatin1String("ZH");
    for (Query* lines : {&A, &m_EKA}) {
        lines->Close();
        lines->setParam(QStringLiteral("SIP"), lines == &m_EKA || job.Tur != QLatin1String("0"));
        lines->setParam(QStringLiteral("ID"), job.AdisyonID.toLongLong());
        lines->setParam(QStringLiteral("YAZ"), !pendingOnly);
        lines->setParam(QStringLiteral("IADE"),
                        job.Tur == QLatin1String("2") ? QStringLiteral("I") : QStringLiteral("A"));
        lines->Open();
    }
}

void BillJobRunner::Dispatch() {
    if (job.Tur == QLatin1String("1"))
        BuildBillTicket(m_context);
    else if (job.Tur == QLatin1String("3"))
        BuildSplitBillTicket(m_context);
    else if (job.Tur == QLatin1String("4"))
        BuildEadisyonSlip(m_context);
    else if (job.Tur == QLatin1String("5"))
        BuildPosAccountSlip(m_context);
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
