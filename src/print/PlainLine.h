#pragma once

#include <QString>

// A text from the database (a name, a note, a code) as an ordinary ticket line that prints
// whole. One that begins with a markup prefix ("#-", "=-", ">-", "@B") would be laid out as a
// heading, a rule, a right part or a barcode instead, losing those characters or all of it, so
// it is moved right by one blank.
QString PlainLine(const QString& text);
