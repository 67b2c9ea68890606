#pragma once

#include "print/SpoolerQueue.h"

#include <QTemporaryDir>

struct cups_dest_s;

// A CUPS queue, or an instance of one after a slash. Qt does not look at what CUPS answers to a
// document, so the document is rendered into a file and submitted here, with the queue's own
// options; CUPS also tells the resolution the queue's driver prints at, which Qt does not.
class CupsQueue : public SpoolerQueue {
public:
    // The queue is described once here, for the one document it serves.
    explicit CupsQueue(QString printerName);
    ~CupsQueue() override;

    void RequireReady() const override;
    void Direct(QPrinter& printer) override;
    void Submit(QPainter& painter, const QPrinter& printer) override;

private:
    // In dots per inch; 0 when CUPS does not say.
    int DotsPerInch() const;
    QString DocumentFile() const;

    struct DestinationRelease {
        void operator()(cups_dest_s* destination) const;
    };

    QString m_printerName;
    std::unique_ptr<cups_dest_s, DestinationRelease> m_destination; // null when CUPS did not say
    QString m_destinationError;                                     // why not, in CUPS's words
    QTemporaryDir m_spool;
};
