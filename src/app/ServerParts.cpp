#include "app/ServerParts.h"

#include "config/ComputerName.h"
#include "config/PollInterval.h"
#include "tickets/TicketBuilders.h"

ServerParts::ServerParts(const QString& directory, DiagnosticLog& diagnosticLog)
    : ini(directory)
    , log(diagnosticLog)
    , report(diagnosticLog)
    , recovery(C, report)
    , A(C, QStringLiteral("A"))
    , EKA(C, QStringLiteral("EKA"))
    , X(C, QStringLiteral("X"))
    , YAZ(C, QStringLiteral("YAZ"))
    , watch(C, report,
            [this] {
                if (recovery.isLost())
                    return QueueWatch::Pause::ConnectionLost;
                return !poller || poller->isBusy() ? QueueWatch::Pause::Busy
                                                   : QueueWatch::Pause::None;
            })
    , status(report)
    , health(status, diagnosticLog)
    , lease({ComputerNameOf(), ini.directory()})
    , fence(C, lease.grant(), lease.self())
    , settings(X)
    , printers(directory)
    , journal(directory + QStringLiteral("/velmora-gunluk.db"), report, diagnosticLog)
    , finishedJobs(journal.filePath(), diagnosticLog)
    , screens(journal.filePath(), registry, report, diagnosticLog)
    , notificationSender(diagnosticLog)
    , notifier(ComputerNameOf(), directory, [this](const Notification& notification) {
        notificationSender.Send(notification);
    }) {
    T.setInterval(kDefaultPollInterval);
    printers.setScreens(&screens);
    // A standby's screens name the server that prints.
    screens.setNotice([this] { return lease.prints() ? QString() : status.roleText(); });
}

// Start-up step 8, with the empty registry the sequence sets beside it.
void ServerParts::CreatePoller() {
    engine = std::make_unique<PrintEngine>(job.AdisyonID, printSettings, log, printers, printPause);
    poller = std::make_unique<QueuePoller>(
        job, ContextFor(job, backups),
        BillBuilders{BuildBillTicket, BuildSplitBillTicket, BuildEadisyonSlip, BuildPosAccountSlip},
        report, recovery);
    if (ticketJournal)
        poller->setFinishedJobStore(&finishedJobs);
}

JobContext ServerParts::ContextFor(const TYazimIsi& printed, const BackupPrinters& backupsOf) {
    return {printed, A,         EKA,    X,      C,   fence,   settings,      *printerPaths,
            *engine, backupsOf, health, status, log, options, ticketJournal, &metrics};
}

void ServerParts::ListenForFaults() {
    if (!faultNotifier || !notificationSender.isEnabled())
        return;
    report.setListener([this](const FaultEvent& event) { faultNotifier->Hear(event); });
}
