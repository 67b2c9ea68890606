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

// The first row ends after a blank when one fits and something stands before it.
qsizetype RowLength(const QString& text, qsizetype fitting) {
    const qsizetype blank = text.lastIndexOf(QLatin1Char(' '), fitting - 1);
    if (blank > 0 && !text.left(blank).trimmed().isEmpty())
        return blank + 1;
    return fitting;
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
        const qsizetype length = RowLength(rest, fitting);
        rows << rest.left(length);
        rest.remove(0, length);
    }
    return rows << rest;
}
