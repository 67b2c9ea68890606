#include "job/LogicalPrinting.h"

#include "job/JobContext.h"
#include "job/PrinterHealth.h"
#include "job/WriteFence.h"
#include "journal/TicketJournal.h"
#include "log/DiagnosticLog.h"
#include "metrics/TicketMetrics.h"
#include "print/BackupPrinters.h"
#include "print/PrinterFailureKind.h"
#include "print/PrinterNames.h"
#include "print/PrinterPaths.h"
#include "print/TicketMarkup.h"
#include "print/TicketPrinter.h"
#include "status/ServerStatus.h"

namespace {

void Journal(const JobContext& context, const QString& name, const QString& path,
             const Ticket& ticket, const QString& error) {
    const TYazimIsi& job = context.job;
    if (context.journal)
        context.journal->Record({0, QDateTime::currentDateTime(), job.ID, job.AdisyonID,
                                 job.Departman, job.MASANO, job.Garson, job.Tur, name, path, error,
                                 ticket, job.firstSeen});
}

void CountPrinted(const JobContext& context, const QString& name) {
    if (!context.metrics)
        return;
    const QDateTime& seen = context.job.firstSeen;
    context.metrics->Printed(
        name, seen.isValid()
                  ? std::optional<double>(seen.msecsTo(QDateTime::currentDateTime()) / 1000.0)
                  : std::nullopt);
}

void CountFailed(const JobContext& context, const QString& name, QLatin1String kind) {
    if (context.metrics)
        context.metrics->Failed(name, kind);
}

// Throws PrinterError with the reason when the ticket did not print.
TicketDestination PrintOn(JobContext& context, const QString& name, const QString& path,
                          const Ticket& ticket) {
    if (const PrinterHealth::Failing* failing = context.health.FailingAt(path))
        throw PrinterError(failing->reason);
    PrintOutcome outcome;
    try {
        outcome = context.printer.PrintTicket(path, ticket);
    } catch (const PrinterError& error) {
        context.health.Failed(name, path, error.message());
        Journal(context, name, path, ticket, error.message());
        CountFailed(context, name, PrinterFailureKind(error.message()));
        throw;
    }
    if (outcome.printerMissing) {
        Journal(context, name, path, ticket, QStringLiteral("Yazici Bulunamadi"));
        CountFailed(context, name, QLatin1String("missing"));
        return {path, true};
    }
    context.health.Printed(name, path);
    Journal(context, name, path, ticket, QString());
    CountPrinted(context, name);
    context.status.PrinterWarned(name, outcome.warning);
    if (!outcome.faultAfterTicket.isEmpty())
        context.health.Failed(name, path, outcome.faultAfterTicket);
    return {path, false};
}

} // namespace

TicketDestination PrintOnLogicalPrinter(JobContext& context, const QString& name,
                                        const Ticket& ticket) {
    const QString path = context.registry.FindPrinterPath(name);
    if (path.isEmpty())
        return {};
    if (HoldsPrinterName(context.heldPrinters, name))
        throw PrinterWaiting(name, QStringLiteral("Adisyonun onceki isi bu yaziciyi bekliyor"));
    context.fence.Check();
    try {
        return PrintOn(context, name, path, ticket);
    } catch (const PrinterError& failure) {
        const QString backup = context.backups.BackupOf(name);
        const QString backupPath =
            backup.isEmpty() ? QString() : context.registry.FindPrinterPath(backup);
        if (backupPath.isEmpty())
            throw PrinterWaiting(name, failure.message());
        Ticket onBackup = ticket;
        onBackup.prepend(kHeading + QStringLiteral("YEDEK: ") + name + QStringLiteral(" yerine"));
        TicketDestination destination;
        try {
            destination = PrintOn(context, backup, backupPath, onBackup);
        } catch (const PrinterError& backupFailure) {
            throw PrinterWaiting(name, failure.message() + QStringLiteral(" -- yedek ") + backup +
                                           QStringLiteral(": ") + backupFailure.message());
        }
        context.log.LogLine(QStringLiteral("Yedek yaziciya yazdirildi -- FisID:") +
                                context.job.AdisyonID + QStringLiteral(" Yazici: ") + name +
                                QStringLiteral(" Yedek: ") + backup + QStringLiteral(" Hata: ") +
                                failure.message(),
                            true);
        return destination;
    }
}
