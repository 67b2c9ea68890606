#pragma once

#include "print/Ticket.h"

#include <QDateTime>
#include <QString>

class QSqlQuery;

// One attempt to print one ticket, as the journal keeps it.
struct JournalEntry {
    qint64 id = 0; // given by the journal
    QDateTime time;
    QString jobId;
    QString bill;
    QString department;
    QString table;
    QString waiter;
    QString jobType;
    QString printer; // the logical printer
    QString path;    // the path used: the backup's when the ticket went there
    QString error;   // empty when the ticket printed
    Ticket lines;    // the markup as the builder made it
    // When the server first saw the job queued; invalid for a ticket printed outside the queue.
    // Defaulted, so an entry initialised up to its lines is complete.
    QDateTime firstSeen = {};

    bool printed() const { return error.isEmpty(); }
};

// Makes the table the entries are kept in, in the journal's file (journal/JournalFile.h), or
// brings that of an older file up to date.
bool MakeTicketsTable(QSqlQuery& query);
