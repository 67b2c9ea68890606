#include "print/PrinterRegistry.h"

#include "db/Query.h"
#include "print/PrinterNames.h"

QString PrinterRegistry::Statement() {
    return QStringLiteral("SELECT Adi,Yol FROM A_Yazicilar");
}

void PrinterRegistry::LoadPrinterRegistry(Query& YAZ) {
    YAZ.Open();
    m_printers.clear();
    for (YAZ.First(); !YAZ.Eof(); YAZ.Next())
        m_printers.append({YAZ.text(QStringLiteral("Adi")), YAZ.text(QStringLiteral("Yol"))});
    YAZ.Close();
}

QString PrinterRegistry::FindPrinterPath(const QString& name) const {
    QString path;
    for (const TYazici& printer : m_printers) {
        if (SamePrinterName(printer.Adi, name))
            path = printer.Yol;
    }
    return path;
}
