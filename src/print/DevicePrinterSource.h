#pragma once

#include "print/PrinterSource.h"

#include <QString>
#include <QStringList>
#include <optional>

// The printers of the running server: the installed system printers, and virtual PDF
// printers written as "pdf:DIR" (DIR relative to the base directory unless absolute). The
// server has one source for its whole run, so the system's printers are listed once per
// process: a printer installed later is seen after a restart.
class DevicePrinterSource : public PrinterSource {
public:
    // The base directory is normally the executable's.
    explicit DevicePrinterSource(QString baseDirectory);

    QStringList InstalledPrinters() override;
    bool IsVirtualPrinter(const QString& path) const override;
    std::unique_ptr<PrintCanvas> Select(const QString& printer) override;

    // The directory a "pdf:DIR" path writes into.
    QString PdfDirectory(const QString& path) const;

private:
    QString m_baseDirectory;
    std::optional<QStringList> m_installed; // listed at the first call, then kept
};
