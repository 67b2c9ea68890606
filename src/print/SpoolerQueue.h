#pragma once

#include <QString>
#include <QTemporaryDir>
#include <memory>

struct cups_dest_s;

// A system printer's queue at the spooler: whether it takes a document now, the resolution its
// driver prints at, and the handing over of a rendered document, so that a stopped, refusing or
// failing queue is a PrinterError with its reason instead of a ticket that silently goes nowhere.
// On CUPS the document is rendered into a file and submitted here, since Qt does not look at the
// spooler's answer; on Windows Qt's spooler document is the submission, and the printer's status is
// asked before it.
class SpoolerQueue {
public:
    // On CUPS the queue is described once here, for the one document it serves.
    explicit SpoolerQueue(QString printerName);
    ~SpoolerQueue();

    // Throws PrinterError saying why when the queue would not print a document now; called before
    // anything is drawn.
    void RequireReady() const;
    // The resolution the queue's driver prints at unless told otherwise, in dots per inch; 0
    // when the system does not say. CUPS says it; on Windows the printer object works at the
    // driver's resolution already.
    int DotsPerInch() const;
    // Where the document is to be rendered before Submit; empty where the platform's printer
    // driver hands it to the spooler itself.
    QString documentFile() const;
    // Hands the rendered document to the queue on the given paper (a page size key). Throws
    // PrinterError when the spooler refuses it.
    void Submit(const QString& media);

private:
    QString m_printerName;
#ifndef Q_OS_WIN
    struct DestinationRelease {
        void operator()(cups_dest_s* destination) const;
    };
    std::unique_ptr<cups_dest_s, DestinationRelease> m_destination; // null when CUPS did not say
    QString m_destinationError;                                     // why not, in CUPS's words
    QTemporaryDir m_spool;
#endif
};
