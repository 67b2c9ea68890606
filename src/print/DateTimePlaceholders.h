#pragma once

#include <QDateTime>
#include <QString>
#include <functional>

using DateTimeSource = std::function<QDateTime()>;

// "#TARIH#" becomes the date in the regional short date format, "#SAAT#" the time as HH:mm;
// every occurrence, case-sensitive, inserted texts are not scanned again. The clock is read
// only for a line that holds a placeholder.
QString ReplaceDateTimePlaceholders(const QString& line, const DateTimeSource& clock);
QString ReplaceDateTimePlaceholders(const QString& line);
