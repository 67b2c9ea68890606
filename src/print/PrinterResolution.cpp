#include "print/PrinterResolution.h"

#include <QtGlobal>

#ifdef Q_OS_WIN

int SystemPrinterResolution(const QString&) {
    return 0;
}

#else

#include <QByteArray>
#include <cups/cups.h>

int SystemPrinterResolution(const QString& printerName) {
    // Qt names a queue's instance "queue/instance".
    const QByteArray name = printerName.section(QLatin1Char('/'), 0, 0).toUtf8();
    const QByteArray instance = printerName.section(QLatin1Char('/'), 1).toUtf8();
    cups_dest_t* destination = cupsGetNamedDest(
        CUPS_HTTP_DEFAULT, name.constData(), instance.isEmpty() ? nullptr : instance.constData());
    if (!destination)
        return 0;
    int dotsPerInch = 0;
    if (cups_dinfo_t* information = cupsCopyDestInfo(CUPS_HTTP_DEFAULT, destination)) {
        if (ipp_attribute_t* resolution = cupsFindDestDefault(CUPS_HTTP_DEFAULT, destination,
                                                              information, "printer-resolution")) {
            int vertical = 0;
            ipp_res_t units = IPP_RES_PER_INCH;
            const int horizontal = ippGetResolution(resolution, 0, &vertical, &units);
            dotsPerInch = units == IPP_RES_PER_CM ? qRound(horizontal * 2.54) : horizontal;
        }
        cupsFreeDestInfo(information);
    }
    cupsFreeDests(1, destination);
    return dotsPerInch;
}

#endif
