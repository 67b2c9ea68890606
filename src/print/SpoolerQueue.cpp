#include "print/SpoolerQueue.h"

#include "core/Error.h"

#include <QPainter>
#include <QPrinter>

void SpoolerQueue::EndDocument(QPainter& painter, const QPrinter& printer) {
    if (!painter.end())
        throw PrinterError(QLatin1String("Yazdirma tamamlanamadi: ") + printer.printerName());
}
