#pragma once

#include "journal/JournalEntry.h"
#include "journal/JournalFile.h"

#include <QDate>
#include <QList>
#include <QString>

class DiagnosticLog;
class OperatorReport;

// Writes every attempt to print a ticket to the journal's file, velmora-gunluk.db beside the
// executable (journal/JournalFile.h), read back by JournalReader: nothing goes into the
// restaurant's database. Writing never throws towards printing and never waits for a lock
// another program holds on the file: a journal that cannot be written is reported once
// (status/OperatorReport.h), its entries are held in memory and written with the next ticket it
// takes, or at close, which logs how many it had to drop.
class TicketJournal {
public:
    static constexpr int kDefaultRetentionDays = 30;
    // What is held while the file cannot be written; older entries give way.
    static constexpr int kMaxPending = 10000;

    TicketJournal(QString filePath, OperatorReport& report, DiagnosticLog& log);
    ~TicketJournal();
    TicketJournal(const TicketJournal&) = delete;
    TicketJournal& operator=(const TicketJournal&) = delete;

    QString filePath() const { return m_file.filePath(); }
    void setRetentionDays(int days) { m_retentionDays = days; }

    // Written at once; the oldest days are pruned at the first record of each day.
    void Record(JournalEntry entry);
    // Writes the entries held back, if any: called on every poll tick, so that they go in as
    // soon as the file takes them again, whether or not a ticket follows.
    void CatchUp();

private:
    // Writes the held entries in order; false, all of them still held, when the file fails.
    bool WritePending();
    bool Write(const JournalEntry& entry);
    void Prune(const QDate& today);
    void Failed(const QString& what);

    JournalFile m_file;
    OperatorReport& m_report;
    DiagnosticLog& m_log;
    int m_retentionDays = kDefaultRetentionDays;
    QDate m_prunedOn;
    QList<JournalEntry> m_pending;
    int m_dropped = 0; // older entries that gave way to newer ones while the file failed
};
