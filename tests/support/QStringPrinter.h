#pragma once

#include <QString>
#include <ostream>

// Failure messages show QString values as text rather than as lists of UTF-16 units.
inline void PrintTo(const QString& text, std::ostream* os) {
    *os << '"' << text.toStdString() << '"';
}
