#include "print/BackupPrinters.h"

#include "print/PrinterNames.h"

void BackupPrinters::Add(const QString& printer, const QString& backup) {
    if (BackupOf(printer).isEmpty() && !backup.isEmpty() && !SamePrinterName(printer, backup))
        m_entries.append({printer, backup});
}

QString BackupPrinters::BackupOf(const QString& printer) const {
    for (const Entry& entry : m_entries) {
        if (SamePrinterName(entry.printer, printer))
            return entry.backup;
    }
    return QString();
}
