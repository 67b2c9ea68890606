#pragma once

#include <QByteArray>
#include <QList>
#include <optional>

// A QR code symbol of a short text, such as a link for a tablet's camera: byte mode, error
// correction level M (15 % of the symbol may be lost), versions 1 to 10 (up to 213 bytes), the
// mask that scores best under the standard's penalty rules. Written here because neither Qt
// nor a library both the Linux and the Windows build have draws one.
class QrCode {
public:
    static constexpr int kMaxVersion = 10;
    // The light border a scanner needs around the symbol, in modules.
    static constexpr int kQuietModules = 4;

    // Nothing for a text too long for version 10.
    static std::optional<QrCode> Encode(const QByteArray& text);

    // Modules per side, the quiet zone not included.
    int size() const { return m_size; }
    bool isDark(int x, int y) const { return m_modules.at(y * m_size + x); }

private:
    explicit QrCode(int version);

    void DrawFunctionPatterns();
    void DrawFinder(int centreX, int centreY);
    void DrawAlignment(int centreX, int centreY);
    void DrawFormat(int mask);
    void DrawVersion();
    void SetFunction(int x, int y, bool dark);
    void PlaceCodewords(const QByteArray& codewords);
    void ApplyMask(int mask);
    int Penalty() const;

    int m_version;
    int m_size;
    QList<bool> m_modules;
    QList<bool> m_function; // finder, timing, alignment, format and version modules
};
