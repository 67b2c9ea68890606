#pragma once

#include "print/PrintCanvas.h"

#include <QString>
#include <QStringList>

// A text cut into rows that are each no wider than the width in the canvas's current font:
// after the last blank that fits on the row, or else, and when the word after that blank is
// wider than a row itself, after the last character that does.
// Every row holds at least one character, and the rows put together give the text again. A
// text that fits, and any text when the width leaves no room at all, is one row.
QStringList TextRows(const PrintCanvas& canvas, const QString& text, int width);
