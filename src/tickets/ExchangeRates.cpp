#include "tickets/ExchangeRates.h"

#include "core/Error.h"
#include "tickets/TextTrim.h"

#include <QDir>
#include <QFile>
#include <QStringDecoder>

namespace {

constexpr int kRateLength = 6;

// The text after the marker, trimmed. An absent marker counts as found at position 0 of a
// text counted from 1, so the first marker-length-minus-one characters are dropped instead.
QString SkipToMarker(const QString& text, const QString& marker) {
    const qsizetype index = text.indexOf(marker);
    const qsizetype rest = index < 0 ? marker.size() - 1 : index + marker.size();
    return TrimBlanksAndControls(text.mid(rest));
}

// Each search continues in the text left by the previous one.
QString NextBuyingRate(QString& text, const QString& currencyName) {
    text = SkipToMarker(text, currencyName);
    text = SkipToMarker(text, QStringLiteral("<BanknoteBuying>"));
    return text.left(kRateLength);
}

} // namespace

QString ExchangeRateLineFromText(const QString& text) {
    QString rest = text;
    const QString usd = NextBuyingRate(rest, QStringLiteral("US DOLLAR"));
    const QString eur = NextBuyingRate(rest, QStringLiteral("EURO"));
    return QStringLiteral("USD: ") + usd + QStringLiteral(" - EUR: ") + eur;
}

QByteArray ReadFileBytes(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        throw Error(QStringLiteral("%1 dosyası açılamadı: %2")
                        .arg(QDir::toNativeSeparators(path), file.errorString()));
    return file.read(kMaxFileBytes);
}

QString ExchangeRateLineFromFile(const QString& path) {
    QStringDecoder decoder(QStringConverter::System);
    return ExchangeRateLineFromText(decoder(ReadFileBytes(path)));
}

QString FetchExchangeRates(const QString& executableDir, const QString& url,
                           std::chrono::milliseconds timeout) {
    const QString path = QDir(executableDir).filePath(QStringLiteral("Doviz.xml"));
    if (!DownloadToFile(url, path, timeout))
        return QString();
    return ExchangeRateLineFromFile(path);
}
