#pragma once

#include <QString>
#include <chrono>

// Start-up waits for the download, so a dead network must not hold it longer than this.
inline constexpr std::chrono::milliseconds kDownloadTimeout{15000};

// Downloads the URL into the file, replacing it only when the whole body has arrived; a
// network error, an HTTP status other than 2xx, a timeout or an unwritable file gives false
// and leaves the old file as it was.
bool DownloadToFile(const QString& url, const QString& path,
                    std::chrono::milliseconds timeout = kDownloadTimeout);
