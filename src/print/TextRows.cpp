#include "print/TextRows.h"

#include <QTextBoundaryFinder>

// Every step looks only at the row in hand and the word after it, never at the whole rest of
// the text, so a long note costs time in proportion to its length.
namespace {

// Where the row that starts at start ends: the longest run of whole characters (a letter with
// its accents is one) that fits, one character at least.
qsizetype FittingEnd(const PrintCanvas& canvas, QTextBoundaryFinder& characters,
                     const QString& text, qsizetype start, int width) {
    characters.setPosition(start);
    qsizetype fitting = characters.toNextBoundary();
    for (qsizetype next = characters.toNextBoundary();
         next > 0 && canvas.TextWidth(text.mid(start, next - start)) <= width;
         next = characters.toNextBoundary())
        fitting = next;
    return fitting;
}

// Whether the word that starts at from fits a row of its own. A word longer than probe
// characters is measured only that far when that much is already too wide.
bool WordFits(const PrintCanvas& canvas, const QString& text, qsizetype from, qsizetype probe,
              int width) {
    const qsizetype blank = QStringView(text).mid(from, probe).indexOf(QLatin1Char(' '));
    if (blank >= 0)
        return canvas.TextWidth(text.mid(from, blank)) <= width;
    if (canvas.TextWidth(text.mid(from, probe)) > width)
        return false;
    const qsizetype end = text.indexOf(QLatin1Char(' '), from);
    return canvas.TextWidth(text.mid(from, end < 0 ? -1 : end - from)) <= width;
}

// The row ends after a blank when one fits, something stands before it and the word after it
// fits a row of its own; a word that never fits is cut where the row is full, so it starts on
// the row of a quantity and leaves no number standing alone.
qsizetype RowEnd(const PrintCanvas& canvas, const QString& text, qsizetype start, qsizetype fitting,
                 int width) {
    const QStringView row = QStringView(text).mid(start, fitting - start);
    const qsizetype blank = row.lastIndexOf(QLatin1Char(' '));
    if (blank <= 0 || row.left(blank).trimmed().isEmpty())
        return fitting;
    const qsizetype probe = 4 * row.size() + 64;
    return WordFits(canvas, text, start + blank + 1, probe, width) ? start + blank + 1 : fitting;
}

} // namespace

QStringList TextRows(const PrintCanvas& canvas, const QString& text, int width) {
    if (width <= 0 || canvas.TextWidth(text) <= width)
        return {text};
    QTextBoundaryFinder characters(QTextBoundaryFinder::Grapheme, text);
    QStringList rows;
    qsizetype start = 0;
    for (;;) {
        const qsizetype fitting = FittingEnd(canvas, characters, text, start, width);
        if (fitting >= text.size())
            break;
        const qsizetype end = RowEnd(canvas, text, start, fitting, width);
        rows << text.mid(start, end - start);
        start = end;
    }
    return rows << text.mid(start);
}
