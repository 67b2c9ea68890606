#include "print/QrCode.h"
#include "support/ExternalTool.h"

#include <QImage>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

#ifndef Q_OS_WIN // read back by zbar, a Linux program
// Links of every length up to the longest a version 10 symbol holds, each drawn as a screen
// shows it and read back by a scanner; one byte more has no symbol.
TEST(QrCode, LinksOfEveryVersionScanBackAndALongerOneHasNone) {
    const QTemporaryDir dir;
    const QByteArray link = "http://192.168.1.20:8480/ekran/Tatli?anahtar=";
    for (const int length : {1, 14, 26, 42, 62, 84, 106, 122, 152, 180, 213}) {
        SCOPED_TRACE(length);
        QByteArray text = link.left(length);
        while (text.size() < length)
            text += QByteArray::number(text.size() % 16, 16);
        const std::optional<QrCode> symbol = QrCode::Encode(text);
        ASSERT_TRUE(symbol);
        const int quiet = QrCode::kQuietModules;
        QImage image(symbol->size() + 2 * quiet, symbol->size() + 2 * quiet, QImage::Format_Mono);
        image.fill(1);
        for (int y = 0; y < symbol->size(); ++y) {
            for (int x = 0; x < symbol->size(); ++x)
                image.setPixel(x + quiet, y + quiet, symbol->isDark(x, y) ? 0 : 1);
        }
        const QString file = dir.filePath(QStringLiteral("qr.png"));
        ASSERT_TRUE(image.scaled(image.size() * 4).save(file));
        EXPECT_EQ(RunTool(QStringLiteral("zbarimg"), {"--quiet", "--raw", file}).output.toLatin1(),
                  text + '\n');
    }
    EXPECT_FALSE(QrCode::Encode(QByteArray(214, 'x')));
}
#endif

} // namespace
