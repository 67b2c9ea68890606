#include "kitchen/ProductionPrinters.h"

#include "db/IntegerValue.h"
#include "db/Query.h"
#include "job/JobContext.h"
#include "kitchen/KitchenStatements.h"
#include "log/DiagnosticLog.h"
#include "print/PrinterNames.h"

void AppendDistinct(QStringList& list, const QString& name) {
    if (!HoldsPrinterName(list, name))
        list.append(name);
}

void ResolveProductionPrinters(JobContext& context, PrinterLists& lists) {
    const TYazimIsi& job = context.job;
    Query& X = context.X;
    X.setSql(ProductionPrinterStatement(job.DeptKodu, job.Tur,
                                        IntegerValue(job.AdisyonID, QStringLiteral("AdisyonID"))));
    X.Open();

    lists = PrinterLists();
    context.log.LogLine(
        QStringLiteral(">>-") + job.AdisyonID + QStringLiteral("-Uretim Yazicilari--"), false);
    for (X.First(); !X.Eof(); X.Next()) {
        const QString printer = X.text(QStringLiteral("YAZICI"));
        context.log.LogLine(QStringLiteral("==") + printer, false);
        AppendDistinct(lists.production, printer);
        const QString extraPrinter = X.text(QStringLiteral("EKYAZICI"));
        if (extraPrinter.isEmpty())
            continue;
        lists.extraBehind.append({printer, extraPrinter});
        if (!HoldsPrinterName(lists.extra, extraPrinter)) {
            context.log.LogLine(QStringLiteral("==EK:") + extraPrinter, false);
            lists.extra.append(extraPrinter);
        }
    }
}

void AddOwedExtraPrinters(JobContext& context, PrinterLists& lists) {
    const TYazimIsi& job = context.job;
    if (job.Tur == QLatin1String("0") && job.MASANO == QLatin1String("ZH"))
        return;
    // The extra line query, opened for this job, holds exactly the bill's lines that went to the
    // kitchen and not yet to their extra printer: no statement of its own is needed.
    Query& EKA = context.EKA;
    for (EKA.First(); !EKA.Eof(); EKA.Next()) {
        const QString extraPrinter = EKA.text(QStringLiteral("EKYAZICI"));
        if (!extraPrinter.isEmpty() && EKA.number(QStringLiteral("ADET")) > 0)
            AppendDistinct(lists.extra, extraPrinter);
    }
}
