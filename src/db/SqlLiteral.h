#pragma once

#include <QString>

// A code or name put into a statement or filter text: enclosed in apostrophes, each
// apostrophe inside doubled, so the value can never end the literal early.
QString SqlStringLiteral(const QString& value);
