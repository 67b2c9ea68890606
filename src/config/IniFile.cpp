#include "config/IniFile.h"

#include "config/IniDocument.h"
#include "core/Error.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QSaveFile>
#include <optional>

namespace {

const QString NullMarker = QStringLiteral("#NULL#");
const QString SettingsBase = QStringLiteral("Velmora");

std::optional<int> wholeNumber(const QString& text) {
    static const QRegularExpression pattern(QStringLiteral("^[+-]?[0-9]+$"));
    if (!pattern.match(text).hasMatch())
        return std::nullopt;
    bool ok = false;
    const int number = text.toInt(&ok);
    return ok ? std::optional<int>(number) : std::nullopt;
}

} // namespace

IniFiles::IniFiles(QString directory)
    : m_directory(std::move(directory)) {}

QString IniFiles::filePath(const QString& base) const {
    return QDir(m_directory).filePath(base + QStringLiteral(".ini"));
}

bool IniFiles::exists(const QString& base) const {
    return QFileInfo::exists(filePath(base));
}

QByteArray IniFiles::readFile(const QString& path) const {
    QFile file(path);
    if (!file.exists())
        return QByteArray();
    // Treating an unreadable file as empty would let the next write replace it.
    if (!file.open(QIODevice::ReadOnly))
        throw IniFileError(QStringLiteral("Ini dosyasi okunamadi: %1 (%2)")
                               .arg(QDir::toNativeSeparators(path), file.errorString()));
    return file.readAll();
}

QString IniFiles::IniReadString(const QString& base, const QString& section, const QString& key,
                                const QString& defaultValue) {
    const IniDocument document(readFile(filePath(base)));
    if (const auto value = document.value(section, key))
        return *value;
    if (defaultValue != NullMarker)
        IniWriteString(base, section, key, defaultValue);
    return defaultValue;
}

QList<std::pair<QString, QString>> IniFiles::IniReadSection(const QString& base,
                                                            const QString& section) const {
    return IniDocument(readFile(filePath(base))).entries(section);
}

void IniFiles::IniWriteString(const QString& base, const QString& section, const QString& key,
                              const QString& value) {
    if (m_readOnly)
        return;
    const QString path = filePath(base);
    IniDocument document(readFile(path));
    document.setValue(section, key, value);

    // The new text goes to a temporary file that replaces the old one only when complete, so
    // a crash or a full disk never leaves half a file behind.
    QSaveFile file(path);
    const QByteArray content = document.content();
    if (!file.open(QIODevice::WriteOnly) || file.write(content) != content.size() || !file.commit())
        throw IniFileError(QStringLiteral("Ini dosyasina yazilamadi: %1 (%2)")
                               .arg(QDir::toNativeSeparators(path), file.errorString()));
}

int IniFiles::IniReadInt(const QString& section, const QString& key, int defaultValue) {
    const QString defaultText = QString::number(defaultValue);
    try {
        if (const auto number = wholeNumber(IniReadString(SettingsBase, section, key, defaultText)))
            return *number;
    } catch (const IniFileError&) {
        // The write below reports the failure if the file is still out of reach.
    }
    IniWriteString(SettingsBase, section, key, defaultText);
    return defaultValue;
}
