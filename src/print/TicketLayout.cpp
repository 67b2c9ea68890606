#include "print/TicketLayout.h"

void TicketLayout::Paint(PrintCanvas& canvas) const {
    int page = 1;
    QString face;
    int pointSize = 0;
    for (const PlacedRun& run : runs) {
        for (; page < run.page; ++page)
            canvas.NewPage();
        if (const auto* text = std::get_if<PlacedText>(&run.content)) {
            if (text->face != face || text->pointSize != pointSize) {
                face = text->face;
                pointSize = text->pointSize;
                canvas.SetFont(face, pointSize);
            }
            canvas.DrawText(text->at.x(), text->at.y(), text->text, text->colours);
        } else {
            const PlacedFill& fill = std::get<PlacedFill>(run.content);
            canvas.FillRect(fill.area, fill.colour);
        }
    }
    // A cursor past the bottom after the last line still began a page.
    for (; page < pages; ++page)
        canvas.NewPage();
}
