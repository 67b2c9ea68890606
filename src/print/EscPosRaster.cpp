#include "print/EscPosRaster.h"

#include <algorithm>
#include <cstring>

namespace {

constexpr int kBandHeader = 8; // GS v 0 m xL xH yL yH

int RowBytes(int dots) {
    return (dots + 7) / 8;
}

void AppendLittleEndian16(QByteArray& bytes, int value) {
    bytes.append(static_cast<char>(value & 0xFF));
    bytes.append(static_cast<char>((value >> 8) & 0xFF));
}

} // namespace

QByteArray EscPosRaster::Encode(const QImage& picture) {
    Q_ASSERT(picture.format() == QImage::Format_Mono);
    const int rowBytes = RowBytes(picture.width());
    const int rows = picture.height();
    const int bands = (rows + kBandRows - 1) / kBandRows;

    QByteArray bytes;
    bytes.reserve(2 + bands * kBandHeader + rows * rowBytes + 8);
    bytes.append("\x1B\x40", 2); // ESC @
    for (int top = 0; top < rows; top += kBandRows) {
        const int bandRows = std::min(kBandRows, rows - top);
        bytes.append("\x1D\x76\x30\x00", 4); // GS v 0, normal density
        AppendLittleEndian16(bytes, rowBytes);
        AppendLittleEndian16(bytes, bandRows);
        const qsizetype start = bytes.size();
        bytes.resize(start + qsizetype(bandRows) * rowBytes);
        char* out = bytes.data() + start;
        for (int row = top; row < top + bandRows; ++row, out += rowBytes)
            std::memcpy(out, picture.constScanLine(row), static_cast<size_t>(rowBytes));
    }
    bytes.append("\x1B\x64", 2); // ESC d: print and feed
    bytes.append(static_cast<char>(kFeedLines));
    bytes.append("\x1D\x56\x42\x00", 4); // GS V 66 0: feed to the cutter, partial cut
    return bytes;
}

QByteArray EscPosRaster::CleanStart(int dots) {
    return QByteArray(kBandHeader + kBandRows * RowBytes(dots), '\0');
}
