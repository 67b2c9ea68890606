#pragma once

#include <QString>

// Without leading and trailing blanks and control characters (everything up to U+0020), as
// the tickets and the exchange-rate search understand trimming.
QString TrimBlanksAndControls(const QString& text);
