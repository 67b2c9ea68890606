#include "config/IniFile.h"

#include "config/IniDocument.h"
#include "core/Error.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QSaveFile>
#include <QThread>
#include <optional>

namespace {

const QString NullMarker = QStringLiteral("#NULL#");
const QString SettingsBase = QStringLiteral("Velmora");
constexpr int ReplaceAttempts = 20;
constexpr unsigned long ReplacePauseMs = 50;

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
    writeFile(path, document.content());
}

void IniFiles::writeFile(const QString& path, const QByteArray& content) {
    // The new text goes to a temporary file that replaces the old one only when complete, so
    // a crash or a full disk never leaves half a file behind. Windows refuses the replace
    // while another program (a virus scanner, a backup, an editor) has the file open, so it
    // is tried again for a moment.
    for (int attempt = 1;; ++attempt) {
        QSaveFile file(path);
        if (file.open(QIODevice::WriteOnly) && file.write(content) == content.size() &&
            file.commit())
            return;
        if (file.error() != QFileDevice::RenameError || attempt == ReplaceAttempts)
            throw IniFileError(QStringLiteral("Ini dosyasina yazilamadi: %1 (%2)")
                                   .arg(QDir::toNativeSeparators(path), file.errorString()));
        QThread::msleep(ReplacePauseMs);
    }
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
