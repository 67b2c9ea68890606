#include "FuzzInput.h"
#include "print/TicketRenderer.h"
#include "support/RecordingCanvas.h"

#include <cstring>
#include <memory>

// Any ticket, with any margins and font size the ini file may hold, is laid out without
// crashing and without an endless loop.
extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    PrintSettings settings;
    if (size >= 8) {
        int16_t numbers[4];
        std::memcpy(numbers, data, sizeof numbers);
        settings.fontSize = numbers[0] % 100;
        settings.left = numbers[1];
        settings.right = numbers[2];
        settings.top = numbers[3];
        data += 8;
        size -= 8;
    }
    auto document = std::make_shared<RecordedDocument>();
    CanvasSetup setup;
    setup.pageHeight = 400;
    RecordingCanvas canvas(document, setup);
    const auto clock = [] {
        return QDateTime(QDate(2026, 12, 8), QTime(14, 3));
    };
    const Ticket ticket = FuzzText(data, size).split(QLatin1Char('\n'));
    const TicketLayout endless = TicketRenderer(canvas, settings, clock).Layout(ticket);
    canvas.BeginDocument(endless.height);
    TicketRenderer(canvas, settings, clock, canvas.PageHeight()).Layout(ticket).Paint(canvas);
    canvas.EndDocument();
    return 0;
}
