#pragma once

#include <QString>

// GS1 modulo-10 check digit over the first 12 characters; a non-digit counts as 0.
int Ean13CheckDigit(const QString& data);
// The number padded with leading zeros (or cut) to 12 characters, then its check digit.
QString Ean13Text(const QString& number);
