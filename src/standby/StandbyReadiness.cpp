#include "standby/StandbyReadiness.h"

#include "print/PrinterNames.h"
#include "print/PrinterRegistry.h"

#include <QStringList>

QString StandbyReadinessProblem(const PrinterRegistry& registry, PrinterSource& printers,
                                bool dummy) {
    const QString notReady = QStringLiteral("Yedek sunucu hazir degil: ");
    if (dummy)
        return notReady + QStringLiteral("Dummy Server acik, hicbir fis yazdirilmaz");
    QStringList names;
    QStringList missing;
    for (const TYazici& printer : registry.printers()) {
        if (HoldsPrinterName(names, printer.Adi))
            continue;
        names << printer.Adi;
        // The lookup's own rule: the last row of a name holds its path.
        const QString path = registry.FindPrinterPath(printer.Adi);
        if (FindInstalledPrinter(printers, path).isEmpty())
            missing << printer.Adi + QStringLiteral(" (") + path + QLatin1Char(')');
    }
    if (missing.isEmpty())
        return QString();
    return notReady + missing.join(QStringLiteral(", ")) + QStringLiteral(" bu bilgisayarda yok");
}
