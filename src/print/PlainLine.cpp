#include "print/PlainLine.h"

QString PlainLine(const QString& text) {
    static const QLatin1String markupPrefixes[] = {QLatin1String("#-"), QLatin1String("=-"),
                                                   QLatin1String(">-"), QLatin1String("@B")};
    for (const QLatin1String prefix : markupPrefixes) {
        if (text.startsWith(prefix))
            return QLatin1Char(' ') + text;
    }
    return text;
}
