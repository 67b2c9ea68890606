#pragma once

#include "print/PrinterPaths.h"

#include <QList>
#include <QString>

class Query;

// A row of A_Yazicilar: the logical printer name and the installed printer's path.
struct TYazici {
    QString Adi;
    QString Yol;
};

// The printers of A_Yazicilar, in the order the database returned them, loaded once at start.
class PrinterRegistry : public PrinterPaths {
public:
    // The statement of the printer query YAZ.
    static QString Statement();

    // Opens YAZ, which holds Statement(), reads every row and closes it. Throws DatabaseError;
    // the registry then holds the rows read so far.
    void LoadPrinterRegistry(Query& YAZ);
    // The Yol of the last record of that name under the printer-name rule, or the empty text.
    QString FindPrinterPath(const QString& name) const override;

    const QList<TYazici>& printers() const { return m_printers; }

private:
    QList<TYazici> m_printers;
};
