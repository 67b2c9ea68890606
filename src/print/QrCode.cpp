#include "print/QrCode.h"

#include <algorithm>
#include <array>
#include <cstdlib>
#include <utility>

namespace {

// Per version 1 to 10 at level M: error correction codewords in each block, and the blocks.
constexpr std::array<int, QrCode::kMaxVersion + 1> kEccPerBlock{0,  10, 16, 26, 18, 24,
                                                                16, 18, 22, 22, 26};
constexpr std::array<int, QrCode::kMaxVersion + 1> kBlocks{0, 1, 1, 1, 2, 2, 4, 4, 4, 5, 5};
// The format bits of level M.
constexpr int kLevelM = 0;

// The codewords of the whole symbol: the modules left once every function pattern is drawn.
int TotalCodewords(int version) {
    int modules = (16 * version + 128) * version + 64;
    if (version >= 2) {
        const int alignments = version / 7 + 2;
        modules -= (25 * alignments - 10) * alignments - 55;
        if (version >= 7)
            modules -= 36;
    }
    return modules / 8;
}

int DataCodewords(int version) {
    return TotalCodewords(version) - kEccPerBlock[version] * kBlocks[version];
}

QList<int> AlignmentCentres(int version) {
    if (version == 1)
        return {};
    const int count = version / 7 + 2;
    const int size = 17 + 4 * version;
    const int step = (version * 8 + count * 3 + 5) / (count * 4 - 4) * 2;
    QList<int> centres{6};
    for (int i = count - 2; i >= 0; --i)
        centres.append(size - 7 - i * step);
    return centres;
}

// Multiplication in GF(256) modulo the polynomial x^8 + x^4 + x^3 + x^2 + 1.
quint8 Multiply(quint8 a, quint8 b) {
    int product = 0;
    for (int bit = 7; bit >= 0; --bit) {
        product = (product << 1) ^ ((product >> 7) * 0x11D);
        product ^= ((b >> bit) & 1) * a;
    }
    return static_cast<quint8>(product);
}

// The Reed-Solomon remainder of the data by the generator of the given degree.
QByteArray ErrorCorrection(const QByteArray& data, int degree) {
    QList<quint8> generator(degree, 0);
    generator[degree - 1] = 1;
    quint8 root = 1;
    for (int i = 0; i < degree; ++i) {
        for (int j = 0; j < degree; ++j) {
            generator[j] = Multiply(generator[j], root);
            if (j + 1 < degree)
                generator[j] ^= generator[j + 1];
        }
        root = Multiply(root, 0x02);
    }
    QList<quint8> remainder(degree, 0);
    for (const char byte : data) {
        const quint8 factor = static_cast<quint8>(byte) ^ remainder.takeFirst();
        remainder.append(0);
        for (int j = 0; j < degree; ++j)
            remainder[j] ^= Multiply(generator[j], factor);
    }
    QByteArray ecc;
    for (const quint8 value : remainder)
        ecc.append(static_cast<char>(value));
    return ecc;
}

class BitWriter {
public:
    void Append(int value, int bits) {
        for (int bit = bits - 1; bit >= 0; --bit)
            m_bits.append((value >> bit) & 1);
    }
    qsizetype size() const { return m_bits.size(); }
    QByteArray Bytes() const {
        QByteArray bytes(m_bits.size() / 8, 0);
        for (qsizetype i = 0; i < m_bits.size(); ++i)
            bytes[i / 8] = static_cast<char>(bytes[i / 8] | (m_bits[i] << (7 - i % 8)));
        return bytes;
    }

private:
    QList<int> m_bits;
};

// Mode, length, the text, the terminator and the padding of the version's data codewords.
QByteArray DataCodewordsOf(const QByteArray& text, int version) {
    const int capacityBits = DataCodewords(version) * 8;
    BitWriter bits;
    bits.Append(0b0100, 4);
    bits.Append(static_cast<int>(text.size()), version < 10 ? 8 : 16);
    for (const char byte : text)
        bits.Append(static_cast<quint8>(byte), 8);
    bits.Append(0, static_cast<int>(std::min<qsizetype>(4, capacityBits - bits.size())));
    bits.Append(0, static_cast<int>((8 - bits.size() % 8) % 8));
    for (int pad = 0xEC; bits.size() < capacityBits; pad ^= 0xEC ^ 0x11)
        bits.Append(pad, 8);
    return bits.Bytes();
}

// The blocks' data codewords interleaved, then their error correction codewords.
QByteArray Interleaved(const QByteArray& data, int version) {
    const int blocks = kBlocks[version];
    const int shortLength = static_cast<int>(data.size()) / blocks;
    const int longBlocks = static_cast<int>(data.size()) % blocks;
    QList<QByteArray> dataBlocks;
    QList<QByteArray> eccBlocks;
    int offset = 0;
    for (int i = 0; i < blocks; ++i) {
        const int length = shortLength + (i >= blocks - longBlocks ? 1 : 0);
        dataBlocks.append(data.mid(offset, length));
        eccBlocks.append(ErrorCorrection(dataBlocks.last(), kEccPerBlock[version]));
        offset += length;
    }
    QByteArray codewords;
    for (int i = 0; i <= shortLength; ++i) {
        for (const QByteArray& block : std::as_const(dataBlocks)) {
            if (i < block.size())
                codewords.append(block.at(i));
        }
    }
    for (int i = 0; i < kEccPerBlock[version]; ++i) {
        for (const QByteArray& block : std::as_const(eccBlocks))
            codewords.append(block.at(i));
    }
    return codewords;
}

bool MaskInverts(int mask, int x, int y) {
    switch (mask) {
    case 0:
        return (x + y) % 2 == 0;
    case 1:
        return y % 2 == 0;
    case 2:
        return x % 3 == 0;
    case 3:
        return (x + y) % 3 == 0;
    case 4:
        return (x / 3 + y / 2) % 2 == 0;
    case 5:
        return x * y % 2 + x * y % 3 == 0;
    case 6:
        return (x * y % 2 + x * y % 3) % 2 == 0;
    default:
        return ((x + y) % 2 + x * y % 3) % 2 == 0;
    }
}

} // namespace

std::optional<QrCode> QrCode::Encode(const QByteArray& text) {
    int version = 1;
    // Four bits of mode, the length, then the bytes.
    while (version <= kMaxVersion &&
           4 + (version < 10 ? 8 : 16) + text.size() * 8 > DataCodewords(version) * 8)
        ++version;
    if (version > kMaxVersion)
        return std::nullopt;
    QrCode symbol(version);
    symbol.DrawFunctionPatterns();
    symbol.PlaceCodewords(Interleaved(DataCodewordsOf(text, version), version));
    int bestMask = 0;
    int bestPenalty = -1;
    for (int mask = 0; mask < 8; ++mask) {
        symbol.ApplyMask(mask);
        symbol.DrawFormat(mask);
        const int penalty = symbol.Penalty();
        if (bestPenalty < 0 || penalty < bestPenalty) {
            bestMask = mask;
            bestPenalty = penalty;
        }
        symbol.ApplyMask(mask); // inverting twice undoes it
    }
    symbol.ApplyMask(bestMask);
    symbol.DrawFormat(bestMask);
    return symbol;
}

QrCode::QrCode(int version)
    : m_version(version)
    , m_size(17 + 4 * version)
    , m_modules(m_size * m_size, false)
    , m_function(m_size * m_size, false) {}

void QrCode::DrawFunctionPatterns() {
    for (int i = 0; i < m_size; ++i) {
        SetFunction(6, i, i % 2 == 0);
        SetFunction(i, 6, i % 2 == 0);
    }
    DrawFinder(3, 3);
    DrawFinder(m_size - 4, 3);
    DrawFinder(3, m_size - 4);
    const QList<int> centres = AlignmentCentres(m_version);
    for (const int x : centres) {
        for (const int y : centres) {
            const bool nearFinder =
                (x == 6 && y == 6) || (x == 6 && y == m_size - 7) || (x == m_size - 7 && y == 6);
            if (!nearFinder)
                DrawAlignment(x, y);
        }
    }
    DrawFormat(0); // reserves its modules; the chosen mask's bits replace them
    DrawVersion();
}

void QrCode::DrawFinder(int centreX, int centreY) {
    // Seven by seven rings with the light separator around them, cut off at the edges.
    for (int dy = -4; dy <= 4; ++dy) {
        for (int dx = -4; dx <= 4; ++dx) {
            const int x = centreX + dx;
            const int y = centreY + dy;
            if (x < 0 || x >= m_size || y < 0 || y >= m_size)
                continue;
            const int ring = std::max(std::abs(dx), std::abs(dy));
            SetFunction(x, y, ring != 2 && ring != 4);
        }
    }
}

void QrCode::DrawAlignment(int centreX, int centreY) {
    for (int dy = -2; dy <= 2; ++dy) {
        for (int dx = -2; dx <= 2; ++dx)
            SetFunction(centreX + dx, centreY + dy, std::max(std::abs(dx), std::abs(dy)) != 1);
    }
}

void QrCode::DrawFormat(int mask) {
    const int data = kLevelM << 3 | mask;
    int remainder = data;
    for (int i = 0; i < 10; ++i)
        remainder = (remainder << 1) ^ ((remainder >> 9) * 0x537);
    const int bits = (data << 10 | remainder) ^ 0x5412;
    const auto bit = [bits](int i) {
        return ((bits >> i) & 1) != 0;
    };
    for (int i = 0; i <= 5; ++i)
        SetFunction(8, i, bit(i));
    SetFunction(8, 7, bit(6));
    SetFunction(8, 8, bit(7));
    SetFunction(7, 8, bit(8));
    for (int i = 9; i < 15; ++i)
        SetFunction(14 - i, 8, bit(i));
    for (int i = 0; i < 8; ++i)
        SetFunction(m_size - 1 - i, 8, bit(i));
    for (int i = 8; i < 15; ++i)
        SetFunction(8, m_size - 15 + i, bit(i));
    SetFunction(8, m_size - 8, true);
}

void QrCode::DrawVersion() {
    if (m_version < 7)
        return;
    int remainder = m_version;
    for (int i = 0; i < 12; ++i)
        remainder = (remainder << 1) ^ ((remainder >> 11) * 0x1F25);
    const int bits = m_version << 12 | remainder;
    for (int i = 0; i < 18; ++i) {
        const bool dark = ((bits >> i) & 1) != 0;
        const int a = m_size - 11 + i % 3;
        const int b = i / 3;
        SetFunction(a, b, dark);
        SetFunction(b, a, dark);
    }
}

void QrCode::SetFunction(int x, int y, bool dark) {
    m_modules[y * m_size + x] = dark;
    m_function[y * m_size + x] = true;
}

// Two columns at a time from the right, up then down, passing over the vertical timing line.
void QrCode::PlaceCodewords(const QByteArray& codewords) {
    qsizetype next = 0;
    for (int right = m_size - 1; right >= 1; right -= 2) {
        if (right == 6)
            right = 5;
        const bool upward = ((right + 1) & 2) == 0;
        for (int step = 0; step < m_size; ++step) {
            const int y = upward ? m_size - 1 - step : step;
            for (int x = right; x >= right - 1; --x) {
                if (m_function[y * m_size + x] || next >= codewords.size() * 8)
                    continue;
                m_modules[y * m_size + x] =
                    ((static_cast<quint8>(codewords.at(next / 8)) >> (7 - next % 8)) & 1) != 0;
                ++next;
            }
        }
    }
}

void QrCode::ApplyMask(int mask) {
    for (int y = 0; y < m_size; ++y) {
        for (int x = 0; x < m_size; ++x) {
            if (!m_function[y * m_size + x] && MaskInverts(mask, x, y))
                m_modules[y * m_size + x] = !m_modules[y * m_size + x];
        }
    }
}

// The standard's four rules: long runs, two-by-two blocks, finder-like stretches and the
// balance of dark and light.
int QrCode::Penalty() const {
    int penalty = 0;
    int dark = 0;
    const QList<bool> finderLike{true, false, true, true, true, false, true};
    for (int line = 0; line < m_size; ++line) {
        for (const bool rows : {true, false}) {
            const auto at = [&](int i) {
                return rows ? isDark(i, line) : isDark(line, i);
            };
            int run = 1;
            for (int i = 1; i <= m_size; ++i) {
                if (i < m_size && at(i) == at(i - 1)) {
                    ++run;
                    continue;
                }
                if (run >= 5)
                    penalty += run - 2;
                run = 1;
            }
            for (int i = 0; i + 7 <= m_size; ++i) {
                bool matches = true;
                for (int k = 0; k < 7 && matches; ++k)
                    matches = at(i + k) == finderLike[k];
                const auto lightAt = [&](int from) {
                    for (int k = from; k < from + 4; ++k) {
                        if (k >= 0 && k < m_size && at(k))
                            return false;
                    }
                    return true;
                };
                if (matches && (lightAt(i - 4) || lightAt(i + 7)))
                    penalty += 40;
            }
        }
    }
    for (int y = 0; y < m_size; ++y) {
        for (int x = 0; x < m_size; ++x) {
            dark += isDark(x, y) ? 1 : 0;
            if (x + 1 < m_size && y + 1 < m_size && isDark(x, y) == isDark(x + 1, y) &&
                isDark(x, y) == isDark(x, y + 1) && isDark(x, y) == isDark(x + 1, y + 1))
                penalty += 3;
        }
    }
    const int total = m_size * m_size;
    penalty += 10 * (std::abs(dark * 20 - total * 10) / total); // each 5 % away from half
    return penalty;
}
