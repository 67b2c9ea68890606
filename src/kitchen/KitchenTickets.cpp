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
    QString printerColumn; // the lines of the ticket's printer: filtered on this column
    QString flagColumn;    // set on the lines once the ticket is out
    QString logSuffix;     // of the log line that opens the ticket
    // The extra tickets follow the production tickets, which send the lines on to them: they read
    // the lines again to see the marks made before them, and have nothing to print while their
    // production ticket waits. The tickets of one kind never touch each other's lines, which
    // their printer filters keep apart.
    bool followsProduction = false;
    Ticket (*header)(const TYazimIsi& job) = nullptr;
    // Puts the line the query stands on onto the ticket.
    void (*item)(Ticket& ticket, const Query& lines, const TYazimIsi& job,
                 DiagnosticLog& log) = nullptr;
};

// A ticket with the lines of its printer.
struct CollectedTicket {
    Ticket ticket;
    QList<qint64> lineIds; // every line of the printer, in ticket order
    int newLines = 0;      // the lines on no ticket that came out before
};

bool isCancellation(const TYazimIsi& job) {
    return job.Tur == QLatin1String("2");
}

// The heading of both kinds, up to the waiter.
Ticket Opening(const TYazimIsi& job, const QString& title, const QString& numberLine,
               const QString& dateLine) {
    return {
        isCancellation(job) ? kStandOutHeading + QStringLiteral("!!! IPTAL !!!") : kHeading + title,
        numberLine + job.AdisyonID, dateLine,
        kLargeHeading + job.Departman + QStringLiteral(" - ") + job.MASANO, PlainLine(job.Garson)};
}

Ticket ColumnTitles() {
    return {kSeparator, QStringLiteral("AD. URUN"), kRightPart + QStringLiteral("ACIKLAMA"),
            kSeparator};
}

// The quantity and the text of the column, a cancelled one standing out.
QString ItemOf(const Query& lines, const QString& textColumn, const TYazimIsi& job) {
    return (isCancellation(job) ? kStandOutItem : kItem) +
           ItemLine(QuantityText(lines.value(QStringLiteral("ADET"))), lines.text(textColumn));
}

Ticket ProductionHeader(const TYazimIsi& job) {
    return Opening(job, QStringLiteral("URETIM FISI"),
                   kLargeHeading + QStringLiteral(" Sipariş No: "),
                   QStringLiteral("#TARIH# #SAAT#")) +
           Ticket{kStandOutHeading + job.ACIKLAMA} + ColumnTitles();
}

// The product, and its note on a line of its own when it has one.
void ProductionItem(Ticket& ticket, const Query& lines, const TYazimIsi& job, DiagnosticLog&) {
    ticket << ItemOf(lines, QStringLiteral("ADI"), job);
    const QString note = lines.text(QStringLiteral("ACIKLAMA"));
    if (!note.isEmpty())
        ticket << kNote + note;
}

Ticket ExtraHeader(const TYazimIsi& job) {
    return Opening(job, QStringLiteral("ÜRETIM FISI"), kLargeHeading + QStringLiteral("Ads. No: "),
                   kRightPart + QStringLiteral("#TARIH# #SAAT#")) +
           ColumnTitles();
}

// The extra printer's text, and the note on the right even when empty; the product is logged.
void ExtraItem(Ticket& ticket, const Query& lines, const TYazimIsi& job, DiagnosticLog& log) {
    ticket << ItemOf(lines, QStringLiteral("EKACIKLAMA"), job);
    ticket << kNoteRightPart + lines.text(QStringLiteral("ACIKLAMA"));
    log.LogLine(QLatin1Char('-') + job.AdisyonID + QLatin1Char('-') +
                    lines.text(QStringLiteral("ADI")),
                false);
}

KitchenTicketKind ProductionTicket() {
    return {[](JobContext& context) -> Query& { return context.A; },
            QStringLiteral("YAZICI"),
            QStringLiteral("YAZ"),
            QStringLiteral(" YAZICISI ICIN URETIM"),
            false,
            ProductionHeader,
            ProductionItem};
}

KitchenTicketKind ExtraTicket() {
    return {[](JobContext& context) -> Query& { return context.EKA; },
            QStringLiteral("EKYAZICI"),
            QStringLiteral("EKYAZ"),
            QStringLiteral(" YAZICISI ICIN EK URETIM"),
            true,
            ExtraHeader,
            ExtraItem};
}

// The ticket of the printer name, with its lines that did not come out before.
CollectedTicket CollectLines(const KitchenTicketKind& kind, JobContext& context,
                             const QString& name, const QSet<qint64>* printedBefore) {
    const TYazimIsi& job = context.job;
    CollectedTicket collected{kind.header(job), {}, 0};
    Query& lines = kind.lines(context);
    if (kind.followsProduction)
        lines.Requery();
    // Cancellations too: each returned line goes to the station that cooked it. The printer
    // name goes into the filter only as a string literal. The filter ignores letter case as the
    // printer lists do (print/PrinterNames.h): the lines of "MUTFAK" and of "Mutfak" share one
    // ticket.
    const ScopedFilter ownLines(lines,
                                kind.printerColumn + QLatin1Char('=') + SqlStringLiteral(name));
    for (lines.First(); !lines.Eof(); lines.Next()) {
        const qint64 lineId = IntegerValue(lines.text(QStringLiteral("ID")), QStringLiteral("ID"));
        collected.lineIds << lineId;
        if (printedBefore && printedBefore->contains(lineId))
            continue;
        ++collected.newLines;
        context.log.LogLine(name + QLatin1Char('-') + lines.text(QStringLiteral("YAZICI")) +
                                QLatin1Char('+') + lines.text(QStringLiteral("EKYAZICI")) +
                                QLatin1Char('+') + lines.text(QStringLiteral("EKACIKLAMA")),
                            false);
        kind.item(collected.ticket, lines, job, context.log);
    }
    if (isCancellation(job))
        collected.ticket << kStandOutHeading + QStringLiteral("!!!IPTAL!!!");
    return collected;
}

// Printed first, marked after: a printer that fails leaves the lines for the next attempt. A
// printer that is not registered marks them all the same, so they do not hold up the bill. A
// ticket that came out before is printed again only for lines new since.
void PrintThenMark(const KitchenTicketKind& kind, JobContext& context, const QString& name,
                   const CollectedTicket& collected, bool printedBefore, PrintedTickets& printed) {
    const TYazimIsi& job = context.job;
    if (!printedBefore || collected.newLines > 0) {
        const QString path = PrintOnLogicalPrinter(context, name, collected.ticket).path;
        if (!path.isEmpty()) {
            printed.Printed(job.ID, kind.flagColumn, name, collected.lineIds);
            context.log.LogLine(
                QLatin1Char('=') + job.AdisyonID + QStringLiteral("-Gonder:") + path, false);
        }
    }
    if (!collected.lineIds.isEmpty())
        context.fence.Execute(
            MarkLinesStatement(kind.flagColumn, job.Tur, job.MASANO, collected.lineIds));
}

void PrintKitchenTicket(const KitchenTicketKind& kind, JobContext& context, const QString& name,
                        PrintedTickets& printed) {
    const TYazimIsi& job = context.job;
    // Lines whose ticket came out at an earlier attempt that failed to mark them: they are
    // marked now, not printed again.
    const QSet<qint64>* printedBefore = printed.Find(job.ID, kind.flagColumn, name);
    context.log.LogLine(job.AdisyonID + QLatin1Char('-') + name + kind.logSuffix, false);
    const CollectedTicket collected = CollectLines(kind, context, name, printedBefore);
    if (kind.followsProduction && collected.lineIds.isEmpty())
        return;
    PrintThenMark(kind, context, name, collected, printedBefore != nullptr, printed);
}

} // namespace

void PrintProductionTicket(JobContext& context, const QString& name, PrintedTickets& printed) {
    PrintKitchenTicket(ProductionTicket(), context, name, printed);
}

void PrintExtraProductionTicket(JobContext& context, const QString& name, PrintedTickets& printed) {
    PrintKitchenTicket(ExtraTicket(), context, name, printed);
}
