#pragma once

#include "tickets/Download.h"

#include <QByteArray>
#include <QString>
#include <chrono>

// The central bank's daily exchange-rate file.
inline constexpr char kExchangeRatesUrl[] = "https://www.tcmb.gov.tr/kurlar/today.xml";

// ReadFileBytes reads at most this much: the rates stand near the start of the file, and a
// runaway download must not exhaust memory.
inline constexpr qint64 kMaxFileBytes = 4 * 1024 * 1024;

// "USD: " + six characters + " - EUR: " + six characters, picked by plain text search for
// the dollar's and then the euro's banknote buying rate. The characters are cut, not rounded;
// a text without the markers gives whatever stands at the computed positions.
QString ExchangeRateLineFromText(const QString& text);

// The content of the file (at most kMaxFileBytes); a file that cannot be opened raises Error.
QByteArray ReadFileBytes(const QString& path);

// The line from a rates file already on disk; a file that cannot be opened raises Error.
QString ExchangeRateLineFromFile(const QString& path);

// Downloads the day's file into "Doviz.xml" in the directory and builds the line from it;
// the empty text when the download fails. A read error of the downloaded file propagates.
QString FetchExchangeRates(const QString& executableDir,
                           const QString& url = QLatin1String(kExchangeRatesUrl),
                           std::chrono::milliseconds timeout = kDownloadTimeout);
