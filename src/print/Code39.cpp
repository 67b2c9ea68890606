#include "print/Code39.h"

#include <cstring>

namespace {
// Nine elements per character, bar first, bars and spaces alternating; '1' is wide.
const char* Pattern(QChar character) {
    static const char kCharacters[] = "0123456789ABCDEFGHIJKLMNOPQRSTUVWXYZ-. $/+%";
    static const char* const kPatterns[] = {
        "000110100", "100100001", "001100001", "101100000", "000110001", "100110000", "001110000",
        "000100101", "100100100", "001100100", "100001001", "001001001", "101001000", "000011001",
        "100011000", "001011000", "000001101", "100001100", "001001100", "000011100", "100000011",
        "001000011", "101000010", "000010011", "100010010", "001010010", "000000111", "100000110",
        "001000110", "000010110", "110000001", "011000001", "111000000", "010010001", "110010000",
        "011010000", "010000101", "110000100", "011000100", "010101000", "010100010", "010001010",
        "000101010"};
    if (character.unicode() == 0 || character.unicode() > 127)
        return nullptr;
    const char* found = std::strchr(kCharacters, character.toLatin1());
    return found ? kPatterns[found - kCharacters] : nullptr;
}

const char kStartStop[] = "010010100";
} // namespace

Code39Symbol::Code39Symbol(const QString& text) {
    appendCharacter(kStartStop);
    m_encoded = QStringLiteral("*");
    for (const QChar character : text) {
        // Lower case, "*" inside the text and anything outside the 43 characters have no
        // symbol: they are left out rather than printing a code that scans as something else.
        const char* pattern = Pattern(character);
        if (!pattern)
            continue;
        appendCharacter(pattern);
        m_encoded += character;
    }
    appendCharacter(kStartStop);
    m_encoded += QLatin1Char('*');
    m_width += kQuietModules - 1; // no gap after the stop character
}

void Code39Symbol::appendCharacter(const char* pattern) {
    for (int element = 0; element < 9; ++element) {
        const int width = pattern[element] == '1' ? kWideModules : 1;
        if (element % 2 == 0)
            m_bars.append({m_width, width});
        m_width += width;
    }
    m_width += 1; // the gap between characters
}
