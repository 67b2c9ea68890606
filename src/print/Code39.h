#pragma once

#include <QList>
#include <QString>

// The bars of a Code 39 symbol, measured in narrow modules from the left edge of the quiet
// zone. Wide elements are three modules, so scanners tell them apart even at two dots.
class Code39Symbol {
public:
    struct Bar {
        int start;
        int width;
    };

    static constexpr int kWideModules = 3;
    static constexpr int kQuietModules = 10;

    // The text without start and stop characters; they are added here.
    explicit Code39Symbol(const QString& text);

    // "*", the characters that were encoded, "*".
    const QString& encodedText() const { return m_encoded; }
    const QList<Bar>& bars() const { return m_bars; }
    // Quiet zones included.
    int widthInModules() const { return m_width; }

private:
    void appendCharacter(const char* pattern);

    QString m_encoded;
    QList<Bar> m_bars;
    int m_width = kQuietModules;
};
