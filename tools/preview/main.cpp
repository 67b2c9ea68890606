#include "core/Error.h"
#include "preview/PngExport.h"
#include "preview/PreviewFolder.h"
#include "preview/TicketPreview.h"
#include "print/RasterCanvas.h"

#include <QCommandLineParser>
#include <QDir>
#include <QFileInfo>
#include <QGuiApplication>
#include <QTextStream>

namespace {

const char* const description =
    R"(Shows the tickets the print server would print for a queued job, or for a bill,
as PDF and PNG files, without printing anything and without changing the database.
Run it in the server's directory (beside Database.ini and Velmora.ini) or name that
directory with --dir.

It starts as the server does and runs the job through the server's own queries,
ticket builders and print settings from Velmora.ini ("Font boyu", "Sol", "Sag",
"Ust"), so technicians can tune those without wasting paper or sending orders to
the kitchen. Each ticket is drawn with the options of its printer (boyut, vurgu: in
A_Yazicilar.Yol or the printer's section of Velmora.ini). Dummy mode is ignored: the
preview always renders.

Nothing is changed: the whole job runs inside a database transaction that is rolled
back, so the line flags (SIP, YAZ, EKYAZ), the queue row and the AYAR settings stay
as they were. The ini files are only read: keys they lack take their defaults
without being written. Exchange rates come from the Doviz.xml already in the
directory; nothing is downloaded.

Each ticket becomes NN-PRINTER.pdf and NN-PRINTER.png in the output folder, numbered
in print order and named after the logical printer it was made for, whether or not
A_Yazicilar maps that printer; the listing says where the server would print each
one. The PNG files need pdftoppm (poppler-utils). The numbered files and preview.log
of an earlier preview in the same folder are replaced. The server's log is not
touched; the preview's own goes to preview.log in the output folder.

Exit status: 0 when every ticket was made, 1 when the preview failed, 2 for wrong
options.)";

QTextStream& out() {
    static QTextStream stream(stdout);
    return stream;
}

QTextStream& err() {
    static QTextStream stream(stderr);
    return stream;
}

class UsageError : public Error {
public:
    using Error::Error;
};

qint64 idOption(const QCommandLineParser& parser, const QString& name) {
    bool ok = false;
    const qint64 value = parser.value(name).toLongLong(&ok);
    if (!ok || value <= 0)
        throw UsageError(
            QStringLiteral("--%1 pozitif bir tam sayi olmali: %2").arg(name, parser.value(name)));
    return value;
}

PreviewRequest requestFrom(const QCommandLineParser& parser) {
    PreviewRequest request;
    request.serverDirectory =
        QDir::cleanPath(QFileInfo(parser.isSet("dir") ? parser.value("dir") : QStringLiteral("."))
                            .absoluteFilePath());
    if (parser.isSet("job") == parser.isSet("bill"))
        throw UsageError(QStringLiteral("--job ya da --bill (ikisinden biri) gerekli"));
    if (parser.isSet("job")) {
        for (const char* billOnly : {"type", "waiter", "printer", "sub", "split-kind"}) {
            if (parser.isSet(QString::fromLatin1(billOnly)))
                throw UsageError(QStringLiteral("--%1 yalnizca --bill ile kullanilir")
                                     .arg(QLatin1String(billOnly)));
        }
        request.jobId = idOption(parser, QStringLiteral("job"));
    } else {
        const QString type = parser.value("type");
        if (type.size() != 1 || type.at(0) < QLatin1Char('0') || type.at(0) > QLatin1Char('5'))
            throw UsageError(QStringLiteral("--type 0 ile 5 arasinda bir is turu olmali: ") + type);
        request.billJob = {idOption(parser, QStringLiteral("bill")),
                           type,
                           parser.value("waiter"),
                           parser.value("printer"),
                           parser.value("sub"),
                           parser.value("split-kind")};
    }
    if (!QFileInfo::exists(QDir(request.serverDirectory).filePath(QStringLiteral("Database.ini"))))
        throw UsageError(QStringLiteral("Database.ini bulunamadi: ") + request.serverDirectory);
    return request;
}

QString typeName(const QString& type) {
    static const char* const names[] = {"production", "bill",           "cancellation",
                                        "split bill", "e-adisyon slip", "POS account slip"};
    const int index = type.size() == 1 ? type.at(0).unicode() - '0' : -1;
    return index >= 0 && index < 6 ? QLatin1String(names[index]) : QStringLiteral("unknown type");
}

void printTickets(const PreviewReport& report, const PreviewFolder& folder) {
    out() << "Job type " << report.jobType << " (" << typeName(report.jobType) << "), bill "
          << report.billId << "\n";
    const PrintSettings& settings = report.settings;
    out() << "Velmora.ini: Font boyu " << settings.fontSize << ", Sol " << settings.left << ", Sag "
          << settings.right << ", Ust " << settings.top << "\n";
    if (settings.dummy)
        out() << "Dummy Server is on in Velmora.ini: the server itself prints none of these.\n";
    if (report.printRates)
        out() << "Exchange rates: from the Doviz.xml already in the server's directory.\n";
    if (report.tickets.isEmpty())
        out() << (report.failure.isEmpty() ? "This job prints no ticket.\n"
                                           : "No ticket was made before the job failed.\n");
    for (const PreviewTicket& ticket : report.tickets) {
        out() << "  " << QFileInfo(ticket.pdfPath).fileName() << ": printer \"" << ticket.printer
              << (ticket.printer.isEmpty() ? "\" (no name), " : "\", ");
        if (ticket.registryPath.isEmpty())
            out() << "not printed by the server: A_Yazicilar gives this printer no path\n";
        else
            out() << "printed by the server on " << ticket.registryPath << "\n";
        if (!ticket.refusedOptions.isEmpty())
            out() << "    drawn without options; the server fails this printer's tickets: "
                  << ticket.refusedOptions << "\n";
    }
    out() << "Files in " << QDir::toNativeSeparators(folder.path()) << "\n";
}

void writePngs(const PreviewReport& report) {
    if (report.tickets.isEmpty())
        return;
    const QString renderer = PngExport::FindRenderer();
    if (renderer.isEmpty()) {
        out() << "pdftoppm not found (poppler-utils): only the PDF files were written.\n";
        return;
    }
    for (const PreviewTicket& ticket : report.tickets)
        PngExport::RenderPng(renderer, ticket.pdfPath);
}

int run(const QStringList& arguments) {
    QCommandLineParser parser;
    parser.setApplicationDescription(QString::fromUtf8(description));
    parser.addHelpOption();
    parser.addOptions({
        {"dir",
         "The server's directory, with Database.ini and Velmora.ini (default: the "
         "current directory).",
         "DIR"},
        {"job", "Preview the queued job with this ID (A_YazimKuyrugu.ID).", "ID"},
        {"bill",
         "Preview a job for this bill (A_Adisyon.ID) as a terminal would queue it; "
         "needs --type.",
         "ID"},
        {"type",
         "With --bill, the job type: 0 production, 2 cancellation (both use the bill's "
         "pending lines, as a queued job would), 1 bill, 3 split bill, 4 e-adisyon "
         "slip, 5 POS account slip.",
         "T"},
        {"waiter", "With --bill, the waiter's code (GarsonKodu).", "CODE"},
        {"printer",
         "With --bill, the printer name the terminal puts on the job (YaziciAdi; "
         "\"G\" is the waiter's copy).",
         "NAME"},
        {"sub", "With --bill, the sub-account of a split bill (ParcaliHesap).", "N"},
        {"split-kind", "With --bill, the kind of a split bill (ParcaliTur).", "TEXT"},
        {"out", "The folder the PDF and PNG files go to (default: preview).", "DIR"},
    });
    if (!parser.parse(arguments))
        throw UsageError(parser.errorText());
    if (parser.isSet("help"))
        parser.showHelp(0);
    if (!parser.positionalArguments().isEmpty())
        throw UsageError(QStringLiteral("Beklenmeyen arguman: ") +
                         parser.positionalArguments().join(QLatin1Char(' ')));

    const PreviewRequest request = requestFrom(parser);
    const PreviewFolder folder(parser.isSet("out") ? parser.value("out")
                                                   : QStringLiteral("preview"));
    folder.Prepare();
    const PreviewReport report = TicketPreview(request, folder).Run();
    printTickets(report, folder);
    writePngs(report);
    out() << "The database was left as it was (the transaction was rolled back).\n";
    out().flush();
    if (!report.failure.isEmpty()) {
        err() << "velmora-preview: the job failed: " << report.failure << "\n";
        return 1;
    }
    return 0;
}

} // namespace

int main(int argc, char** argv) {
    // No window is ever shown; fonts and PDF painting need a platform all the same.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    RasterCanvas::CacheLargeGlyphs();
    QGuiApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("velmora-preview"));
    try {
        return run(QCoreApplication::arguments());
    } catch (const UsageError& error) {
        err() << "velmora-preview: " << error.message() << "\n"
              << "See velmora-preview --help.\n";
        return 2;
    } catch (const Error& error) {
        out().flush();
        err() << "velmora-preview: " << error.message() << "\n";
        return 1;
    }
}
