#pragma once

#include "job/JobRecord.h"

#include <QStringList>

class BackupPrinters;
class DatabaseSession;
class DiagnosticLog;
class PrinterHealth;
class PrinterPaths;
class Query;
class ServerStatus;
class SettingsStore;
class TicketJournal;
class TicketMetrics;
class TicketPrinter;
class WriteFence;
struct BillOptions;

// What the ticket builders of one job work with: the job record, the line queries as the
// poller prepared them, and the services every builder reads. All owned by the server.
struct JobContext {
    const TYazimIsi& job;
    Query& A;
    Query& EKA;
    Query& X;
    DatabaseSession& C;
    WriteFence& fence; // asked before each ticket and each write another server may do too
    SettingsStore& settings;
    const PrinterPaths& registry; // the printer registry, or a tool's stand-in
    TicketPrinter& printer;
    const BackupPrinters& backups;
    PrinterHealth& health; // which printers fail now, and when they print again
    ServerStatus& status;
    DiagnosticLog& log;
    const BillOptions& options;
    TicketJournal* journal = nullptr; // every attempt to print a ticket, when kept
    TicketMetrics* metrics = nullptr; // the tickets counted for /metrics, when served
    // Printers for which an earlier job of the same bill still has a ticket waiting: this job's
    // tickets wait behind it there.
    QStringList heldPrinters = {};
};
