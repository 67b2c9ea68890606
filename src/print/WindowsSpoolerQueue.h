#pragma once

#include "print/SpoolerQueue.h"

// A printer of the Windows spooler. Qt's printer opens a spooler document itself, in the
// driver's own dots, so the queue's part is its status before a ticket and the end of the
// document, where the spooler takes it.
class WindowsSpoolerQueue : public SpoolerQueue {
public:
    explicit WindowsSpoolerQueue(QString printerName);

    void RequireReady() const override;
    void Direct(QPrinter& printer) override;
    void Submit(QPainter& painter, const QPrinter& printer) override;

private:
    QString m_printerName;
};
