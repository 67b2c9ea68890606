#include "print/RasterCanvas.h"

#include <QGuiApplication>
#include <benchmark/benchmark.h>

// Fonts and the PDF writer need a GUI application object; benchmarks run without a display.
int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    RasterCanvas::CacheLargeGlyphs(); // as the server does
    QGuiApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
