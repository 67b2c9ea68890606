#include "print/TextRows.h"

#include <QTextBoundaryFinder>

namespace {

// Where the first row of the text ends: the longest run of whole characters (a letter with its
// accents is one) that fits, one character at least.
qsizetype FittingLength(const PrintCanvas& canvas, const QString& text, int width) {
    QTextBoundaryFinder characters(QTextBoundaryFinder::Grapheme, text);
    qsizetype fitting = characters.toNextBoundary();
    for (qsizetype next = characters.toNextBoundary();
         next > 0 && canvas.TextWidth(text.left(next)) <= width; next = characters.toNextBoundary())
        fitting = next;
    return fitting;
}

// The first row ends after a blank when one fits, something stands before it and the word after
// it fits a row of its own; a word that never fits is cut where the row is full, so it starts on
// the row of a quantity and leaves no number standing alone.
qsizetype RowLength(const PrintCanvas& canvas, const QString& text, qsizetype fitting, int width) {
    const qsizetype blank = text.lastIndexOf(QLatin1Char(' '), fitting - 1);
    if (blank <= 0 || text.left(blank).trimmed().isEmpty())
        return fitting;
    const qsizetype wordEnd = text.indexOf(QLatin1Char(' '), fitting);
    const QString word = text.mid(blank + 1, wordEnd < 0 ? -1 : wordEnd - blank - 1);
    return canvas.TextWidth(word) <= width ? blank + 1 : fitting;
}

} // namespace

QStringList TextRows(const PrintCanvas& canvas, const QString& text, int width) {
    if (width <= 0 || canvas.TextWidth(text) <= width)
        return {text};
    QStringList rows;
    QString rest = text;
    for (;;) {
        const qsizetype fitting = FittingLength(canvas, rest, width);
        if (fitting >= rest.size())
            break;
        const qsizetype length = RowLength(canvas, rest, fitting, width);
        rows << rest.left(length);
        rest.remove(0, length);
    }
    return rows << rest;
}
