#pragma once

#include <QString>

// A key read as text that is about to go into a statement: only a whole number may, so
// anything else is an Error naming the field and the value.
qint64 IntegerValue(const QString& text, const QString& fieldName);
