#pragma once

#include <QString>
#include <cstddef>
#include <cstdint>

// Fuzz bytes as the text the server would have read: UTF-8 that may be invalid.
inline QString FuzzText(const uint8_t* data, size_t size) {
    return QString::fromUtf8(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
}
