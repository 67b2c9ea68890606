#include "print/PrinterRegistry.h"

#include "db/Query.h"

void PrinterRegistry::LoadPrinterRegistry(Query& YAZ) {
    YAZ.setSql(QStringLiteral("SELECT Adi,Yol FROM A_Yazicilar"));
    YAZ.Open();
    m_printers.clear();
    for (YAZ.First(); !YAZ.Eof(); YAZ.Next())
        m_printers.append({YAZ.text(QStringLiteral("Adi")), YAZ.text(QStringLiteral("Yol"))});
    YAZ.Close();
}

QString PrinterRegistry::FindPrinterPath(const QString& name) const {
    if (m_redirect)
        return m_redirect(name);
    QString path;
    for (const TYazici& printer : m_printers) {
        if (printer.Adi == name)
            path = printer.Yol;
    }
    return path;
}
