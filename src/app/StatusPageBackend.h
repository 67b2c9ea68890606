#pragma once

#include "journal/JournalReader.h"
#include "print/BackupPrinters.h"
#include "print/PrinterRegistry.h"
#include "queue/JobSightings.h"
#include "web/StatusBackend.h"

#include <functional>

struct ServerParts;

// The running server as the status page sees it: the registry's printers with their status,
// the queue as the terminals left it, the journal of the given file, and printing outside the
// queue on a chosen printer, journaled like every other ticket but with no backup, since the
// operator chose the printer; the notifications' state and test; and the figures of /metrics.
class StatusPageBackend : public StatusBackend {
public:
    StatusPageBackend(ServerParts& parts, const QString& journalFile,
                      std::function<void()> retrySetAsideJobs);

    QList<PrinterSnapshot> Printers() override;
    QList<QueuedJobSnapshot> Queue() override;
    QList<JournalEntry> JournalEntries(const QDate& day, const QString& billOrTable,
                                       int limit) override;
    std::optional<JournalEntry> JournalTicket(qint64 id) override;
    qint64 JournalTicketSize(qint64 id) override { return m_journal.LinesSize(id); }
    bool JournalUnreadable() override { return m_journal.unreadable(); }
    QString Print(const QString& printer, const Ticket& ticket, const JournalEntry& about) override;
    void RetrySetAsideJobs() override { m_retry(); }
    QString RoleText() override;
    NotificationSnapshot Notifications() override;
    void SendTestNotification() override;
    QByteArray Metrics() override;
    QList<ScreenSnapshot> Screens() override;
    TicketOptions TicketOptionsOf(const QString& path) override;

private:
    // The printer's name, path and state, with the reason and since when it fails.
    PrinterSnapshot StateOf(const TYazici& row);

    ServerParts& m_parts;
    JournalReader m_journal;
    std::function<void()> m_retry;
    BackupPrinters m_noBackups;
    JobSightings m_sightings; // the page's own: a standby's poller reads no queue
};
