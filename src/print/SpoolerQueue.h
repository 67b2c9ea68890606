#pragma once

#include <QString>
#include <memory>

class QPainter;
class QPrinter;

// A system printer's queue at the spooler: whether it takes a document now, and the document's
// way into it, so that a stopped, refusing or failing queue is a PrinterError with its reason
// instead of a ticket that silently goes nowhere. Each platform's spooler has its own: CupsQueue
// and WindowsSpoolerQueue.
class SpoolerQueue {
public:
    // The named printer's queue at this platform's spooler.
    static std::unique_ptr<SpoolerQueue> Open(const QString& printerName);
    virtual ~SpoolerQueue() = default;

    // Throws PrinterError saying why when the queue would not print a document now; called
    // before anything is drawn.
    virtual void RequireReady() const = 0;
    // Points the printer at this queue, in the dots its driver prints.
    virtual void Direct(QPrinter& printer) = 0;
    // Ends the document painted on the printer and hands it to the queue, on the printer's
    // paper. Throws PrinterError when the document or its handing over fails.
    virtual void Submit(QPainter& painter, const QPrinter& printer) = 0;

protected:
    // Throws PrinterError when the printer could not finish the document.
    static void EndDocument(QPainter& painter, const QPrinter& printer);
};
