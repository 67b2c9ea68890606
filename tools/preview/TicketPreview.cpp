#include "preview/TicketPreview.h"

#include "app/ServerParts.h"
#include "app/StartupSequence.h"
#include "core/Error.h"
#include "preview/PreviewFolder.h"
#include "process/HeadlessMessages.h"
#include "queue/QueueStatements.h"
#include "tickets/ExchangeRates.h"

#include <QDir>
#include <QFileInfo>
#include <QSqlError>
#include <iostream>

namespace {

// The transaction the whole preview runs in: rolled back however the preview ends.
class PreviewTransaction {
public:
    explicit PreviewTransaction(DatabaseSession& session)
        : m_session(session) {}
    ~PreviewTransaction() {
        if (m_open)
            m_session.database().rollback();
    }
    PreviewTransaction(const PreviewTransaction&) = delete;
    PreviewTransaction& operator=(const PreviewTransaction&) = delete;

    void Begin() {
        QSqlDatabase database = m_session.database();
        if (!database.transaction())
            throw DatabaseError(QStringLiteral("Veritabaninda islem (transaction) baslatilamadi, "
                                               "onizleme yapilmadi: ") +
                                database.lastError().text());
        m_open = true;
    }

    void Rollback() {
        m_open = false;
        QSqlDatabase database = m_session.database();
        if (!database.rollback())
            throw DatabaseError(QStringLiteral("Onizlemenin degisiklikleri geri alinamadi: ") +
                                database.lastError().text());
    }

private:
    DatabaseSession& m_session;
    bool m_open = false;
};

// The rates as the server last downloaded them: the preview does not go to the network.
QString SavedExchangeRates(const QString& directory) {
    const QString path = QDir(directory).filePath(QStringLiteral("Doviz.xml"));
    return QFileInfo::exists(path) ? ExchangeRateLineFromFile(path) : QString();
}

bool QueueHolds(DatabaseSession& session, qint64 jobId) {
    return !session
                .Select(QStringLiteral("SELECT ID FROM A_YazimKuyrugu WHERE ID = :ID AND "
                                       "AdisyonID IS NOT NULL"),
                        {{QStringLiteral("ID"), jobId}})
                .isEmpty();
}

void RequireBill(DatabaseSession& session, qint64 billId) {
    if (session
            .Select(QStringLiteral("SELECT ID FROM A_Adisyon WHERE ID = :ID"),
                    {{QStringLiteral("ID"), billId}})
            .isEmpty())
        throw Error(QStringLiteral("Adisyon bulunamadi: ") + QString::number(billId));
}

} // namespace

TicketPreview::TicketPreview(PreviewRequest request, const PreviewFolder& folder)
    : m_request(std::move(request))
    , m_folder(folder) {}

PreviewReport TicketPreview::Run() {
    PreviewReport report;
    DiagnosticLog log(m_folder.logPath());
    ServerParts parts(m_request.serverDirectory, log);
    parts.ini.setReadOnly(true);
    // Files need no spooler time.
    parts.printPause = [](int) {
    };
    HeadlessMessages messages(log, std::cerr);
    PreviewTransaction transaction(parts.C);
    PreviewPrinters printers(parts.registry, parts.printers, m_folder);
    parts.printerPaths = &printers;
    parts.ticketJournal = nullptr; // nothing printed, nothing to keep
    parts.faultNotifier = nullptr; // nor told to the restaurant's phone

    StartupHooks hooks{[](int) {}, SavedExchangeRates,
                       [&](DatabaseSession&) {
                           transaction.Begin();
                           report.settings = parts.printSettings;
                           parts.printSettings.dummy = false; // the preview always renders
                       }};
    if (StartupSequence(parts, messages, hooks).FormCreate() != StartupOutcome::Running)
        throw Error(QStringLiteral("Sunucu baslatilamadi, onizleme yapilmadi"));
    parts.T.stop();
    parts.watch.stop();
    report.printRates = parts.options.printRatesFlag;

    qint64 jobId = m_request.jobId;
    if (jobId == 0) {
        RequireBill(parts.C, m_request.billJob.billId);
        jobId = Terminal(parts.C).Queue(m_request.billJob);
    } else if (!QueueHolds(parts.C, jobId)) {
        throw Error(QStringLiteral("Kuyrukta bu numarayla bir adisyona bagli is yok: ") +
                    QString::number(jobId));
    }

    QueuePoller& poller = *parts.poller;
    poller.Q().setSql(OneJobQueueStatement(jobId));
    parts.report.setNotice([&report](const QString& message) { report.failure = message; });

    poller.Tick();

    report.jobType = parts.job.Tur;
    report.billId = parts.job.AdisyonID;
    // The poller deletes a job only when all of it went through.
    if (QueueHolds(parts.C, jobId) && report.failure.isEmpty())
        report.failure = QStringLiteral("Is tamamlanamadi");
    transaction.Rollback();
    report.tickets = printers.Collect();
    return report;
}
