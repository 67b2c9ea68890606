#include "app/ServerParts.h"

#include "config/ComputerName.h"
#include "config/PollInterval.h"
#include "tickets/TicketBuilders.h"

ServerParts::ServerParts(const QString& directory, DiagnosticLog& diagnosticLog)
    : ini(directory)
    , log(diagnosticLog)
    , A(C, QStringLiteral("A"))
    , EKA(C, QStringLiteral("EKA"))
    , X(C, QStringLiteral("X"))
    , YAZ(C, QStringLiteral("YAZ"))
    , watch(C, diagnosticLog,
            [this] {
                if (poller && poller->isConnectionLost())
                    return QueueWatch::Pause::ConnectionLost;
                return !poller || poller->isBusy() ? QueueWatch::Pause::Busy
                                                   : QueueWatch::Pause::None;
            })
    , status(diagnosticLog)
    , health(status, diagnosticLog)
    , lease({ComputerNameOf(), ini.directory()})
    , fence(C, lease.grant(), lease.self())
    , settings(X)
    , printers(directory)
    , journal(directory + QStringLiteral("/velmora-gunluk.db"), diagnosticLog)
    , finishedJobs(journal.filePath())
    , screens(journal.filePath(), registry, diagnosticLog) {
    T.setInterval(kDefaultPollInterval);
    printers.setScreens(&screens);
    // A standby's screens name the server that prints.
    screens.setNotice([this] { return lease.prints() ? QString() : status.role(); });
}

// Start-up step 8, with the empty registry the sequence sets beside it.
void ServerParts::CreatePoller() {
    engine = std::make_unique<PrintEngine>(job.AdisyonID, printSettings, log, printers, printPause);
    const JobContext context{job,    A,        EKA,           X,       C,
                             fence,  settings, *printerPaths, *engine, backups,
                             health, status,   log,           options, ticketJournal};
    poller = std::make_unique<QueuePoller>(job, context,
                                           BillBuilders{BuildBillTicket, BuildSplitBillTicket,
                                                        BuildEadisyonSlip, BuildPosAccountSlip});
    if (ticketJournal)
        poller->setFinishedJobStore(&finishedJobs);
}
