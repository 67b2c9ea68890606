#include "journal/TicketJournal.h"

#include "log/DiagnosticLog.h"
#include "status/OperatorReport.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QSqlError>
#include <QSqlQuery>
#include <QVariant>

namespace {

QByteArray LinesJson(const Ticket& lines) {
    return QJsonDocument(QJsonArray::fromStringList(lines)).toJson(QJsonDocument::Compact);
}

} // namespace

// Another program holding the file (a backup, a virus scan, a browser) fails a write at once
// rather than holding up the ticket: the entry waits in memory instead.
TicketJournal::TicketJournal(QString filePath, OperatorReport& report, DiagnosticLog& log)
    : m_file(std::move(filePath), QStringLiteral("gunluk"), MakeTicketsTable, log)
    , m_report(report)
    , m_log(log) {}

TicketJournal::~TicketJournal() {
    if (!m_pending.isEmpty())
        WritePending();
    // Only logged: whoever listens to the report may be gone by now.
    const qsizetype lost = m_dropped + m_pending.size();
    if (lost > 0)
        m_log.LogLine(
            QStringLiteral("Fis gunlugu kapanirken %1 fis kaydi yazilamadi, kayboldu: ").arg(lost) +
                filePath(),
            true);
}

void TicketJournal::Record(JournalEntry entry) {
    m_pending.append(std::move(entry));
    if (m_pending.size() > kMaxPending) {
        m_pending.removeFirst();
        ++m_dropped;
    }
    CatchUp();
}

void TicketJournal::CatchUp() {
    if (m_pending.isEmpty() || !WritePending())
        return;
    if (m_report.isOn(FaultKind::JournalUnwritable, filePath())) {
        QString line = QStringLiteral("Fis gunlugu yeniden yaziliyor: ") + filePath();
        if (m_dropped > 0)
            line += QStringLiteral(" (%1 fis kaydi sigmadi, kayboldu)").arg(m_dropped);
        m_dropped = 0;
        m_report.Ended(FaultKind::JournalUnwritable, filePath(), line);
    }
    Prune(QDate::currentDate());
}

bool TicketJournal::WritePending() {
    QSqlDatabase db = m_file.database();
    // One transaction: the held entries go in whole or stay held whole, for one commit.
    if (!m_file.Open() || !db.transaction()) {
        Failed(db.lastError().text());
        return false;
    }
    for (const JournalEntry& entry : std::as_const(m_pending)) {
        if (!Write(entry))
            return false; // closed by Failed, which rolls the others back
    }
    if (!db.commit()) {
        Failed(db.lastError().text());
        return false;
    }
    m_pending.clear();
    return true;
}

bool TicketJournal::Write(const JournalEntry& entry) {
    QSqlQuery query(m_file.database());
    query.prepare(QStringLiteral("INSERT INTO tickets (time, job_id, bill, department, table_no, "
                                 "waiter, job_type, printer, path, error, lines, first_seen) "
                                 "VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?)"));
    for (const QVariant& value :
         {QVariant(JournalFile::TimeText(entry.time)), QVariant(entry.jobId), QVariant(entry.bill),
          QVariant(entry.department), QVariant(entry.table), QVariant(entry.waiter),
          QVariant(entry.jobType), QVariant(entry.printer), QVariant(entry.path),
          QVariant(entry.error), QVariant(LinesJson(entry.lines)),
          entry.firstSeen.isValid() ? QVariant(JournalFile::TimeText(entry.firstSeen))
                                    : QVariant()})
        query.addBindValue(value);
    if (query.exec())
        return true;
    Failed(query.lastError().text());
    return false;
}

void TicketJournal::Prune(const QDate& today) {
    if (m_prunedOn == today)
        return;
    QSqlQuery query(m_file.database());
    query.prepare(QStringLiteral("DELETE FROM tickets WHERE time < ?"));
    query.addBindValue(JournalFile::DayStart(today.addDays(-m_retentionDays)));
    if (query.exec())
        m_prunedOn = today;
}

void TicketJournal::Failed(const QString& what) {
    // Closed, so the next ticket opens the file afresh: it may have been moved or fixed.
    m_file.Close();
    if (!m_report.isOn(FaultKind::JournalUnwritable, filePath()))
        m_report.Started(FaultKind::JournalUnwritable, filePath(),
                         QStringLiteral("Fis gunlugu yazilamadi, yazdirma suruyor -- ") +
                             filePath() + QStringLiteral(": ") + what);
}
