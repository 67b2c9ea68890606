#include "support/QueueHarness.h"

#include "config/PollInterval.h"
#include "db/SqlLiteral.h"
#include "queue/ServerQueries.h"

#include <QFile>
#include <QStringDecoder>

namespace {

QDateTime fixedMoment() {
    return QDateTime(QDate(2026, 3, 14), QTime(12, 30, 15));
}

} // namespace

QueueHarness::QueueHarness(Printing printing, const QStringList& installedPrinters, bool verbose)
    : log(db.directory() + QStringLiteral("/velmora.log"), verbose)
    , rendered(job, log, installedPrinters)
    , devices(db.directory())
    , spooled(job.AdisyonID, PrintSettings(), log, devices, [](int) {})
    , A(db.session(), QStringLiteral("A"))
    , EKA(db.session(), QStringLiteral("EKA"))
    , X(db.session(), QStringLiteral("X"))
    , YAZ(db.session(), QStringLiteral("YAZ"))
    , settings(X)
    , report(log)
    , recovery(db.session(), report)
    , status(report)
    , health(status, log)
    , journal(db.directory() + QStringLiteral("/velmora-gunluk.db"), report, log)
    , unfenced(db.session())
    , context{job,
              A,
              EKA,
              X,
              db.session(),
              unfenced,
              settings,
              registry,
              printing == Printing::Captured   ? static_cast<TicketPrinter&>(captured)
              : printing == Printing::Rendered ? static_cast<TicketPrinter&>(rendered)
                                               : spooled,
              backups,
              health,
              status,
              log,
              options,
              &journal}
    , poller(job, context, RecordingBuilders(), report, recovery) {
    SetQueryStatements(poller.Q(), A, EKA, X, YAZ);
    log.setClock(fixedMoment);
    rendered.engine().setClock(fixedMoment);
    spooled.setClock(fixedMoment);
    report.setNotice([this](const QString& message) { notices << message; });
    report.setListener([this](const FaultEvent& event) {
        faults.append({event.kind, event.subject, event.started});
    });
    now = fixedMoment();
    poller.setClock([this] { return now; });
}

BillBuilders QueueHarness::RecordingBuilders() {
    const auto recorder = [this](JobContext& built) {
        builtBills << built.job.Tur + QLatin1Char(':') + built.job.AdisyonID;
        if (duringBuild)
            duringBuild();
    };
    return {recorder, recorder, recorder, recorder};
}

void QueueHarness::seedRestaurant() {
    db.exec(QStringLiteral("INSERT INTO DEPARTMAN VALUES ('1', 'Salon')"));
    db.exec(QStringLiteral("INSERT INTO [USER] VALUES ('G1', 'Ayşe')"));
    db.addProduct(QStringLiteral("K1"), QStringLiteral("Köfte"), QStringLiteral("Mutfak"));
    db.addProduct(QStringLiteral("P1"), QStringLiteral("Pilav"), QStringLiteral("Mutfak"));
    db.addProduct(QStringLiteral("B1"), QStringLiteral("Ayran"), QStringLiteral("Bar"));
    db.addProduct(QStringLiteral("T1"), QStringLiteral("Tatlı"), QString());
    db.exec(QStringLiteral("INSERT INTO URUNEKYAZICI VALUES ('K1', '1', 'Izgara', 'Az pişmiş')"));
    addPrinter(QStringLiteral("Mutfak"), QStringLiteral("MUTFAK-1"));
    addPrinter(QStringLiteral("Bar"), QStringLiteral("BAR-1"));
    addPrinter(QStringLiteral("Izgara"), QStringLiteral("IZGARA-1"));
}

void QueueHarness::addPrinter(const QString& name, const QString& path) {
    db.exec(QStringLiteral("INSERT INTO A_Yazicilar VALUES (%1, %2)")
                .arg(SqlStringLiteral(name), SqlStringLiteral(path)));
    registry.LoadPrinterRegistry(YAZ);
}

void QueueHarness::tick(int times) {
    for (int i = 0; i < times; ++i) {
        poller.Tick();
        now = now.addMSecs(kDefaultPollInterval);
    }
}

void QueueHarness::poll(int times) {
    for (int i = 0; i < times; ++i) {
        while (poller.Tick()) {
        }
        now = now.addMSecs(kDefaultPollInterval);
    }
}

QStringList QueueHarness::logLines() const {
    QFile file(log.filePath());
    if (!file.open(QIODevice::ReadOnly))
        return {};
    QStringDecoder decoder(QStringConverter::System);
    const QString prefix = DiagnosticLog::TimeStamp(fixedMoment()) + QLatin1Char('-');
    QStringList lines;
    for (const QString& line : QString(decoder(file.readAll())).split(QStringLiteral("\r\n"))) {
        if (line.startsWith(prefix))
            lines << line.mid(prefix.size());
    }
    return lines;
}

QString QueueHarness::flags(qint64 lineId, const QString& table) {
    return db
        .scalar(QStringLiteral("SELECT SIP || '/' || YAZ || '/' || EKYAZ FROM %1 WHERE ID=%2")
                    .arg(table)
                    .arg(lineId))
        .toString();
}
