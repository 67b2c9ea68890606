#pragma once

#include "job/JobRecord.h"
#include "log/DiagnosticLog.h"
#include "print/PrintEngine.h"
#include "print/PrintSettings.h"
#include "print/TicketPrinter.h"
#include "support/RecordingCanvas.h"

#include <QList>

// The real print engine on recording canvases, keeping each ticket with its path: for tests
// of the code that builds and prints tickets. It never sleeps; the pauses are counted.
class RecordingPrinter : public TicketPrinter {
public:
    RecordingPrinter(const TYazimIsi& job, DiagnosticLog& log, QStringList installed,
                     const PrintSettings& settings = {});

    PrintOutcome PrintTicket(const QString& path, const Ticket& ticket) override;
    QString CheckPrinter(const QString& path) override { return m_engine.CheckPrinter(path); }

    // The tickets that were printed to the end on this path (exact text), in order.
    QList<Ticket> TicketsFor(const QString& path) const;
    // Every document, whatever became of it, in order.
    const RecordingPrinterSource& printers() const { return m_printers; }
    RecordingPrinterSource& printers() { return m_printers; }
    PrintEngine& engine() { return m_engine; }
    // Durations of the pauses the engine asked for.
    const QList<int>& pauses() const { return m_pauses; }

private:
    RecordingPrinterSource m_printers;
    QList<int> m_pauses;
    PrintEngine m_engine;
};
