#include "kitchen/KitchenTickets.h"

#include "core/NumberForms.h"
#include "db/IntegerValue.h"
#include "db/Query.h"
#include "db/SqlLiteral.h"
#include "job/JobContext.h"
#include "job/LogicalPrinting.h"
#include "job/WriteFence.h"
#include "kitchen/ItemLine.h"
#include "kitchen/KitchenStatements.h"
#include "kitchen/PrintedTickets.h"
#include "log/DiagnosticLog.h"
#include "print/TicketMarkup.h"

namespace {

// Where the extra printer's ticket differs from the production printer's; all else is shared.
struct KitchenTicketKind {
    Query& (*lines)(JobContext&) = nullptr; // the line query the ticket reads
    // Whether the tickets before this one marked lines its query selects, so that it must read
    // them again: the production tickets send the lines on to the extra printers. The tickets
    // of one kind never touch each other's lines, which their printer filters keep apart.
    bool readsAgain = false;
    QString logSuffix;  // of the log line that opens the ticket
    QString title;      // the first heading, unless it is a cancellation
    QString numberLine; // followed by the bill number
    QString dateLine;
    bool billNoteLine = false;    // the bill's note as a heading under the waiter
    QString printerColumn;        // the lines of the ticket's printer: filtered on this column
    QString itemColumn;           // the text after each line's quantity
    bool noteAsRightPart = false; // a right part, even empty; else a line when there is one
    bool logProductName = false;  // a log line with each line's product name
    QString flagColumn;           // set on the lines once the ticket is out
    // Only lines a production ticket sent: none while that ticket waits for its printer.
    bool skippedWithoutLines = false;
};

Query& LineQueryA(JobContext& context) {
    return context.A;
}

Query& LineQueryEKA(JobContext& context) {
    return context.EKA;
}

KitchenTicketKind ProductionTicket() {
    KitchenTicketKind kind;
    kind.lines = LineQueryA;
    kind.readsAgain = false;
    kind.logSuffix = QStringLiteral(" YAZICISI ICIN URETIM");
    kind.title = QStringLiteral("URETIM FISI");
    kind.numberLine = kLargeHeading + QStringLiteral(" Sipariş No: ");
    kind.dateLine = QStringLiteral("#TARIH# #SAAT#");
    kind.billNoteLine = true;
    kind.printerColumn = QStringLiteral("YAZICI");
    kind.itemColumn = QStringLiteral("ADI");
    kind.noteAsRightPart = false;
    kind.logProductName = false;
    kind.flagColumn = QStringLiteral("YAZ");
    return kind;
}

KitchenTicketKind ExtraTicket() {
    KitchenTicketKind kind;
    kind.lines = LineQueryEKA;
    kind.readsAgain = true;
    kind.logSuffix = QStringLiteral(" YAZICISI ICIN EK URETIM");
    kind.title = QStringLiteral("ÜRETIM FISI");
    kind.numberLine = kLargeHeading + QStringLiteral("Ads. No: ");
    kind.dateLine = kRightPart + QStringLiteral("#TARIH# #SAAT#");
    kind.billNoteLine = false;
    kind.printerColumn = QStringLiteral("EKYAZICI");
    kind.itemColumn = QStringLiteral("EKACIKLAMA");
    kind.noteAsRightPart = true;
    kind.logProductName = true;
    kind.flagColumn = QStringLiteral("EKYAZ");
    kind.skippedWithoutLines = true;
    return kind;
}

bool isCancellation(const TYazimIsi& job) {
    return job.Tur == QLatin1String("2");
}

Ticket TicketHeader(const KitchenTicketKind& kind, const TYazimIsi& job) {
    Ticket ticket;
    ticket << (isCancellation(job) ? kStandOutHeading + QStringLiteral("!!! IPTAL !!!")
                                   : kHeading + kind.title);
    ticket << kind.numberLine + job.AdisyonID;
    ticket << kind.dateLine;
    ticket << kLargeHeading + job.Departman + QStringLiteral(" - ") + job.MASANO;
    ticket << PlainLine(job.Garson);
    if (kind.billNoteLine)
        ticket << kStandOutHeading + job.ACIKLAMA;
    ticket << kSeparator << QStringLiteral("AD. URUN") << kRightPart + QStringLiteral("ACIKLAMA")
           << kSeparator;
    return ticket;
}

void PrintKitchenTicket(const KitchenTicketKind& kind, JobContext& context, const QString& name,
                        PrintedTickets& printed) {
    const TYazimIsi& job = context.job;
    // Lines whose ticket came out at an earlier attempt that failed to mark them: they are
    // marked now, not printed again.
    const QSet<qint64>* printedBefore = printed.Find(job.ID, kind.flagColumn, name);
    int newLines = 0;
    DiagnosticLog& log = context.log;
    log.LogLine(job.AdisyonID + QLatin1Char('-') + name + kind.logSuffix, false);
    Ticket ticket = TicketHeader(kind, job);

    Query& lines = kind.lines(context);
    if (kind.readsAgain)
        lines.Requery(); // sees the marks of the tickets printed before this one
    QList<qint64> lineIds;
    {
        // Cancellations too: each returned line goes to the station that cooked it.
        // The printer name goes into the filter only as a string literal. The filter ignores
        // letter case as the printer lists do (print/PrinterNames.h): the lines of "MUTFAK"
        // and of "Mutfak" share one ticket.
        const ScopedFilter ownLines(lines,
                                    kind.printerColumn + QLatin1Char('=') + SqlStringLiteral(name));
        for (lines.First(); !lines.Eof(); lines.Next()) {
            const qint64 lineId =
                IntegerValue(lines.text(QStringLiteral("ID")), QStringLiteral("ID"));
            lineIds << lineId;
            if (printedBefore && printedBefore->contains(lineId))
                continue;
            ++newLines;
            log.LogLine(name + QLatin1Char('-') + lines.text(QStringLiteral("YAZICI")) +
                            QLatin1Char('+') + lines.text(QStringLiteral("EKYAZICI")) +
                            QLatin1Char('+') + lines.text(QStringLiteral("EKACIKLAMA")),
                        false);
            ticket << (isCancellation(job) ? kStandOutItem : kItem) +
                          ItemLine(QuantityText(lines.value(QStringLiteral("ADET"))),
                                   lines.text(kind.itemColumn));
            const QString note = lines.text(QStringLiteral("ACIKLAMA"));
            if (kind.noteAsRightPart)
                ticket << kNoteRightPart + note;
            else if (!note.isEmpty())
                ticket << kNote + note;
            if (kind.logProductName) {
                log.LogLine(QLatin1Char('-') + job.AdisyonID + QLatin1Char('-') +
                                lines.text(QStringLiteral("ADI")),
                            false);
            }
        }
    }
    if (kind.skippedWithoutLines && lineIds.isEmpty())
        return;
    if (isCancellation(job))
        ticket << kStandOutHeading + QStringLiteral("!!!IPTAL!!!");

    // Printed first, marked after: a printer that fails leaves the lines for the next attempt.
    // A printer that is not registered marks them all the same, so they do not hold up the bill.
    if (!printedBefore || newLines > 0) {
        const QString path = PrintOnLogicalPrinter(context, name, ticket).path;
        if (!path.isEmpty()) {
            printed.Printed(job.ID, kind.flagColumn, name, lineIds);
            log.LogLine(QLatin1Char('=') + job.AdisyonID + QStringLiteral("-Gonder:") + path,
                        false);
        }
    }
    if (!lineIds.isEmpty())
        context.fence.Execute(MarkLinesStatement(kind.flagColumn, job.Tur, job.MASANO, lineIds));
}

} // namespace

void PrintProductionTicket(JobContext& context, const QString& name, PrintedTickets& printed) {
    PrintKitchenTicket(ProductionTicket(), context, name, printed);
}

void PrintExtraProductionTicket(JobContext& context, const QString& name, PrintedTickets& printed) {
    PrintKitchenTicket(ExtraTicket(), context, name, printed);
}
