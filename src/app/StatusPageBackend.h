#pragma once

#include "journal/JournalReader.h"
#include "print/BackupPrinters.h"
#include "queue/JobSightings.h"
#include "web/StatusBackend.h"

#include <functional>

struct ServerParts;

// The running server as the status page sees it: the registry's printers with their status,
// the queue as the terminals left it, the journal of the given file, and printing outside the
// queue on a chosen printer, journaled like every other ticket but with no backup, since the
// operator chose the printer.
class StatusPageBackend : public StatusBackend {
public:
    StatusPageBackend(ServerParts& parts, const QString& journalFile,
                      std::function<void()> retrySetAsideJobs);

    QList<PrinterSnapshot> Printers() override;
    QList<QueuedJobSnapshot> Queue() override;
    QList<JournalEntry> JournalEntries(const QDate& day, const QString& billOrTable,
                                       int limit) override;
    std::optional<JournalEntry> JournalTicket(qint64 id) override;
    bool JournalUnreadable() override { return m_journal.unreadable(); }
    QString Print(const QString& printer, const Ticket& ticket, const JournalEntry& about) override;
    void RetrySetAsideJobs() override { m_retry(); }
    QString RoleText() override;
    QList<ScreenSnapshot> Screens() override;
    TicketOptions TicketOptionsOf(const QString& path) override;

private:
    ServerParts& m_parts;
    JournalReader m_journal;
    std::function<void()> m_retry;
    BackupPrinters m_noBackups;
    JobSightings m_sightings; // the page's own: a standby's poller reads no queue
};
