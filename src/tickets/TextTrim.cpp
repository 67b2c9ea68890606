#include "tickets/TextTrim.h"

namespace {

bool IsBlankOrControl(QChar c) {
    return c.unicode() <= 0x20;
}

} // namespace

QString TrimBlanksAndControls(const QString& text) {
    qsizetype first = 0;
    qsizetype last = text.size();
    while (first < last && IsBlankOrControl(text.at(first)))
        ++first;
    while (last > first && IsBlankOrControl(text.at(last - 1)))
        --last;
    return text.mid(first, last - first);
}
