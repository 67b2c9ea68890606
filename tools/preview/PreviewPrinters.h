#pragma once

#include "print/DevicePrinterSource.h"
#include "print/PrinterPaths.h"
#include "print/PrinterRegistry.h"

#include <QList>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>

class PreviewFolder;

// One ticket of a preview: the logical printer it was made for, the path the server's
// registry gives that printer (empty: the server prints it nowhere), its PDF file, and why the
// server refuses that printer's options, if it does.
struct PreviewTicket {
    QString printer;
    QString registryPath;
    QString pdfPath;
    QString refusedOptions;
};

// Stands in for the printer registry of the server. Each printer lookup, registered name or
// not, is answered with a "pdf:" printer on a fresh staging folder, so every ticket lands in
// a file of its own, drawn with the options of the printer the server would print on (red
// reversed for a receipt printer, as it prints it); Collect then names the files in print
// order after their printers.
class PreviewPrinters : public PrinterPaths {
public:
    // registered: the server's registry, loaded by the time the lookups come, and printers the
    // server's, which know the options. The staging folders go inside the output folder, so the
    // files move out of them without copying.
    PreviewPrinters(const PrinterRegistry& registered, const DevicePrinterSource& printers,
                    const PreviewFolder& folder);

    QString FindPrinterPath(const QString& printer) const override;
    // Moves the tickets printed so far into the output folder as "01-Mutfak.pdf", ...
    // Throws Error when a file cannot be moved.
    QList<PreviewTicket> Collect();

    // The printer's name made safe for a file name; "(adsiz)" for the empty name.
    static QString FileNameFor(const QString& printer);

private:
    // The options the server's printer would draw with; a refusal is kept for the lookup.
    TicketOptions DrawnOptions(const QString& path) const;

    const PrinterRegistry& m_registered;
    const DevicePrinterSource& m_printers;
    const PreviewFolder& m_folder;
    QTemporaryDir m_staging;
    mutable QStringList m_lookups;  // each lookup's printer, in order: its staging folder's number
    mutable QStringList m_refusals; // each lookup's refused options, or empty
};
