#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <optional>
#include <utility>

// The text of one ini file, looked up and edited with the rules of the Windows private-profile
// functions. Edits touch only the line they concern: every other byte stays as it was, so a
// hand-edited file keeps its comments, junk lines, encoding quirks and line endings.
class IniDocument {
public:
    static constexpr int MaxValueLength = 2047;

    explicit IniDocument(const QByteArray& content);

    // The value of the first line of the key in a section of that name; nothing when absent.
    std::optional<QString> value(const QString& section, const QString& key) const;
    // Each key of the sections of that name with its value, in file order, as value() reads it.
    QList<std::pair<QString, QString>> entries(const QString& section) const;
    // Replaces the key's line, or adds it at the end of its section, or adds the section at
    // the end of the file.
    void setValue(const QString& section, const QString& key, const QString& value);

    QByteArray content() const;

private:
    struct Line {
        QByteArray bytes;      // without its line break
        QByteArray terminator; // "\r\n", "\n", or empty for a last line without one
        QString text;          // decoded, without a byte-order mark
    };
    struct KeyLine {
        QString key;
        QString rawValue;
    };

    void appendLine(const QByteArray& bytes, const QByteArray& terminator);
    // The key lines of a section, in file order, from every header of that name.
    QList<int> keyLinesOf(const QString& section) const;
    // Index of the first line of the key in a section of that name, or -1.
    int findKey(const QString& section, const QString& key) const;
    // Index of the first header of that section, or -1.
    int findSection(const QString& section) const;
    std::optional<QString> sectionName(int index) const;
    std::optional<KeyLine> keyLine(int index) const;
    bool isBlank(int index) const;
    // Index of the line after the last key of the section whose header is at headerIndex.
    int endOfSection(int headerIndex) const;
    QByteArray encoded(const QString& text) const;
    void insertLine(int index, const QString& text);

    QList<Line> m_lines;
    QByteArray m_newLine;
    bool m_utf8 = false;
};
