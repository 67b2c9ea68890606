#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <utility>

// The ini files beside the executable (base "Database" is Database.ini), with the read and
// write operations of the start-up sequence. Values are written to disk at once; a file that
// cannot be read or written raises IniFileError naming the file.
class IniFiles {
public:
    explicit IniFiles(QString directory);

    const QString& directory() const { return m_directory; }
    QString filePath(const QString& base) const;
    bool exists(const QString& base) const;

    // A missing key yields the default, which is also written unless it is "#NULL#".
    QString IniReadString(const QString& base, const QString& section, const QString& key,
                          const QString& defaultValue);
    void IniWriteString(const QString& base, const QString& section, const QString& key,
                        const QString& value);
    // Every key of a section with its value, in file order; nothing is written.
    QList<std::pair<QString, QString>> IniReadSection(const QString& base,
                                                      const QString& section) const;
    // A whole number from Velmora.ini; a missing or unreadable value is replaced by the default.
    int IniReadInt(const QString& section, const QString& key, int defaultValue);

    // Read-only files still give missing keys their defaults but never write them, nor any
    // other value: for tools that look at a server's settings without changing them.
    void setReadOnly(bool readOnly) { m_readOnly = readOnly; }

private:
    QByteArray readFile(const QString& path) const;
    static void writeFile(const QString& path, const QByteArray& content);

    QString m_directory;
    bool m_readOnly = false;
};
