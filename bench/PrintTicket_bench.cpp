#include "print/DevicePrinterSource.h"
#include "print/EscPosBell.h"
#include "print/EscPosRaster.h"
#include "print/PrintEngine.h"
#include "print/RasterCanvas.h"
#include "print/TicketMarkup.h"
#include "print/TicketRenderer.h"
#include "support/RecordingCanvas.h"
#include "support/SampleTickets.h"

#include <QTemporaryDir>
#include <benchmark/benchmark.h>

namespace {

// Recording canvases whose documents are dropped with them, so long runs do not pile up.
class DiscardingSource : public PrinterSource {
public:
    QStringList InstalledPrinters() override { return {QStringLiteral("Kasa")}; }
    bool IsVirtualPrinter(const QString&) const override { return false; }
    std::unique_ptr<PrintCanvas> Select(const QString&) override {
        return std::make_unique<RecordingCanvas>(std::make_shared<RecordedDocument>(),
                                                 CanvasSetup{});
    }
    QString Check(const QString&) override { return QString(); }
};

void PrintBill(benchmark::State& state, PrinterSource& source, const QString& path) {
    QTemporaryDir logDir;
    const QString billNumber;
    DiagnosticLog log(logDir.filePath(QStringLiteral("Velmora.log")));
    PrintEngine engine(billNumber, PrintSettings{}, log, source, [](int) {});
    const Ticket bill = SampleBill(100);
    for (auto _ : state)
        engine.PrintTicket(path, bill);
}

void BM_PrintTicket_PdfCanvas(benchmark::State& state) {
    QTemporaryDir dir;
    DevicePrinterSource source(dir.path());
    PrintBill(state, source, QStringLiteral("pdf:") + dir.filePath(QStringLiteral("out")));
}
BENCHMARK(BM_PrintTicket_PdfCanvas)->Unit(benchmark::kMillisecond);

void BM_PrintTicket_RecordingCanvas(benchmark::State& state) {
    DiscardingSource source;
    PrintBill(state, source, QStringLiteral("Kasa"));
}
BENCHMARK(BM_PrintTicket_RecordingCanvas)->Unit(benchmark::kMicrosecond);

// What an ESC/POS printer costs the tick before the bytes leave: the ticket laid out and drawn
// as a picture, and its encoding.
void BM_EscPosBytes_Bill(benchmark::State& state) {
    const Ticket bill = SampleBill(100);
    const auto clock = [] {
        return QDateTime::currentDateTime();
    };
    for (auto _ : state) {
        RasterCanvas canvas(576);
        const TicketLayout layout = TicketRenderer(canvas, PrintSettings{}, clock).Layout(bill);
        canvas.BeginDocument(layout.height);
        layout.Paint(canvas);
        canvas.EndDocument();
        benchmark::DoNotOptimize(EscPosRaster::Encode(canvas.picture()));
    }
}
BENCHMARK(BM_EscPosBytes_Bill)->Unit(benchmark::kMillisecond);

// A table's kitchen ticket on a receipt printer that rings twice and draws the items, their
// notes and the table twice as large, the notes white on black: laid out, drawn, encoded with
// its bell. Its paper is about 13 cm long, twice the ticket's without options.
void BM_EscPosBytes_KitchenWithOptions(benchmark::State& state) {
    const Ticket ticket{kHeading + QStringLiteral("URETIM FISI"),
                        kLargeHeading + QStringLiteral(" Sipariş No: 3025"),
                        QStringLiteral("#TARIH# #SAAT#"),
                        kLargeHeading + QStringLiteral("Salon - 12"),
                        QStringLiteral("Ahmet Yılmaz"),
                        kStandOutHeading + QStringLiteral("Doğum günü masası"),
                        kSeparator,
                        QStringLiteral("AD. URUN"),
                        kRightPart + QStringLiteral("ACIKLAMA"),
                        kSeparator,
                        kItem + QStringLiteral("2   Mercimek Çorbası"),
                        kNote + QStringLiteral("ALERJİ: FISTIK"),
                        kItem + QStringLiteral("1   Karnıyarık"),
                        kItem + QStringLiteral("3   İçli Köfte"),
                        kNote + QStringLiteral("Az pişmiş, acısız"),
                        kItem + QStringLiteral("1   Humus"),
                        kItem + QStringLiteral("2   Çoban Salata")};
    TicketOptions options;
    options.rings = 2;
    options.scale = 2;
    options.emphasis = TicketOptions::Emphasis::Reverse;
    const auto clock = [] {
        return QDateTime::currentDateTime();
    };
    for (auto _ : state) {
        RasterCanvas canvas(576, options);
        const TicketLayout layout = TicketRenderer(canvas, PrintSettings{}, clock).Layout(ticket);
        canvas.BeginDocument(layout.height);
        layout.Paint(canvas);
        canvas.EndDocument();
        benchmark::DoNotOptimize(EscPosRaster::Encode(canvas.picture()) + EscPosBell(options));
    }
}
BENCHMARK(BM_EscPosBytes_KitchenWithOptions)->Unit(benchmark::kMillisecond);

} // namespace
