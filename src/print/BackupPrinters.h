#pragma once

#include <QList>
#include <QString>

// The backup of a logical printer: where its tickets go when it fails. Read once at start from
// Velmora.ini, section "Yedek Yazicilar", as "Mutfak=Bar". Names follow the printer-name rule
// (print/PrinterNames.h); a backup has no backup of its own.
class BackupPrinters {
public:
    // A later entry for a name already given is ignored, as a repeated ini key is.
    void Add(const QString& printer, const QString& backup);
    // The backup's logical name, or the empty text when the printer has none.
    QString BackupOf(const QString& printer) const;

private:
    struct Entry {
        QString printer;
        QString backup;
    };
    QList<Entry> m_entries;
};
