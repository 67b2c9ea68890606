#pragma once

#include <QDateTime>
#include <QString>

// "#TARIH#" becomes the date in the regional short date format, "#SAAT#" the time as HH:mm;
// every occurrence, case-sensitive, inserted texts are not scanned again.
QString ReplaceDateTimePlaceholders(const QString& line, const QDateTime& now);
QString ReplaceDateTimePlaceholders(const QString& line);
