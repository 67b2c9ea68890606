#include "queue/KitchenTickets.h"

#include "core/NumberForms.h"
#include "db/Query.h"
#include "db/SqlLiteral.h"
#include "log/DiagnosticLog.h"
#include "print/PrinterPaths.h"
#include "print/TicketPrinter.h"
#include "queue/IntegerText.h"
#include "queue/JobContext.h"
#include "queue/QueueStatements.h"

namespace {

// Where the extra printer's ticket differs from the production printer's; all else is shared.
struct KitchenTicketKind {
    Query& (*lines)(JobContext&);
    const char* logSuffix;
    const char* title;
    const char* numberLine;
    const char* dateLine;
    bool billNoteLine;
    const char* printerColumn;
    const char* itemColumn;
    bool noteAsRightPart; // ">-" + note, even empty; otherwise a plain line when there is one
    bool logProductName;
    const char* flagColumn;
};

const KitchenTicketKind kProductionTicket{
    [](JobContext& context) -> Query& { return context.A; },
    " YAZICISI ICIN URETIM",
    "URETIM FISI",
    "#- Sipariş No: ",
    "#TARIH# #SAAT#",
    true,
    "YAZICI",
    "ADI",
    false,
    false,
    "YAZ",
};

const KitchenTicketKind kExtraTicket{
    [](JobContext& context) -> Query& { return context.EKA; },
    " YAZICISI ICIN EK URETIM",
    "ÜRETIM FISI",
    "#-Ads. No: ",
    ">-#TARIH# #SAAT#",
    false,
    "EKYAZICI",
    "EKACIKLAMA",
    true,
    true,
    "EKYAZ",
};

QString utf8(const char* text) {
    return QString::fromUtf8(text);
}

bool isCancellation(const TYazimIsi& job) {
    return job.Tur == QLatin1String("2");
}

Ticket TicketHeader(const KitchenTicketKind& kind, const TYazimIsi& job) {
    Ticket ticket;
    ticket << QStringLiteral("#-") +
                  (isCancellation(job) ? QStringLiteral("!!! IPTAL !!!") : utf8(kind.title));
    ticket << utf8(kind.numberLine) + job.AdisyonID;
    ticket << utf8(kind.dateLine);
    ticket << QStringLiteral("#-") + job.Departman + QStringLiteral(" - ") + job.MASANO;
    ticket << job.Garson;
    if (kind.billNoteLine)
        ticket << QStringLiteral("#-") + job.ACIKLAMA;
    ticket << QStringLiteral("=-") << QStringLiteral("AD. URUN") << QStringLiteral(">-ACIKLAMA")
           << QStringLiteral("=-");
    return ticket;
}

// "%-3s %s": the quantity padded to three characters, never cut.
QString ItemLine(const QString& quantity, const QString& text) {
    return quantity.leftJustified(3, QLatin1Char(' ')) + QLatin1Char(' ') + text;
}

void PrintKitchenTicket(const KitchenTicketKind& kind, JobContext& context, const QString& name) {
    const TYazimIsi& job = context.job;
    DiagnosticLog& log = context.log;
    log.LogLine(job.AdisyonID + QLatin1Char('-') + name + utf8(kind.logSuffix), false);
    Ticket ticket = TicketHeader(kind, job);

    Query& lines = kind.lines(context);
    lines.Requery(); // sees the marks of the tickets printed before this one
    QList<qint64> lineIds;
    {
        // Cancellations too: each returned line goes to the station that cooked it.
        // The printer name goes into the filter only as a string literal. The filter ignores
        // letter case as the printer lists do (print/PrinterNames.h): the lines of "MUTFAK"
        // and of "Mutfak" share one ticket.
        const ScopedFilter ownLines(lines, utf8(kind.printerColumn) + QLatin1Char('=') +
                                               SqlStringLiteral(name));
        for (lines.First(); !lines.Eof(); lines.Next()) {
            log.LogLine(name + QLatin1Char('-') + lines.text(QStringLiteral("YAZICI")) +
                            QLatin1Char('+') + lines.text(QStringLiteral("EKYAZICI")) +
                            QLatin1Char('+') + lines.text(QStringLiteral("EKACIKLAMA")),
                        false);
            ticket << ItemLine(QuantityText(lines.value(QStringLiteral("ADET"))),
                               lines.text(utf8(kind.itemColumn)));
            const QString note = lines.text(QStringLiteral("ACIKLAMA"));
            if (kind.noteAsRightPart)
                ticket << QStringLiteral(">-") + note;
            else if (!note.isEmpty())
                ticket << note;
            if (kind.logProductName) {
                log.LogLine(QLatin1Char('-') + job.AdisyonID + QLatin1Char('-') +
                                lines.text(QStringLiteral("ADI")),
                            false);
            }
            lineIds << IntegerValue(lines.text(QStringLiteral("ID")), QStringLiteral("ID"));
        }
    }
    if (isCancellation(job))
        ticket << QStringLiteral("#-!!!IPTAL!!!");

    // Printed first, marked after: a printer that fails leaves the lines for the next attempt.
    // A printer that is not registered marks them all the same, so they do not hold up the bill.
    const QString path = context.registry.FindPrinterPath(name);
    if (!path.isEmpty()) {
        context.printer.PrintTicket(path, ticket);
        log.LogLine(QLatin1Char('=') + job.AdisyonID + QStringLiteral("-Gonder:") + path, false);
    }
    if (!lineIds.isEmpty())
        context.C.Execute(MarkLinesStatement(utf8(kind.flagColumn), job.Tur, job.MASANO, lineIds));
}

} // namespace

void PrintProductionTicket(JobContext& context, const QString& name) {
    PrintKitchenTicket(kProductionTicket, context, name);
}

void PrintExtraProductionTicket(JobContext& context, const QString& name) {
    PrintKitchenTicket(kExtraTicket, context, name);
}
