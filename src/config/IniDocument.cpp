#include "config/IniDocument.h"

#include <QStringDecoder>
#include <QStringEncoder>

namespace {

const QByteArray Utf8ByteOrderMark("\xEF\xBB\xBF");

QByteArray nativeNewLine() {
#ifdef Q_OS_WIN
    return QByteArrayLiteral("\r\n");
#else
    return QByteArrayLiteral("\n");
#endif
}

QString unquoted(const QString& value) {
    if (value.size() >= 2 && value.front() == value.back() &&
        (value.front() == QLatin1Char('"') || value.front() == QLatin1Char('\'')))
        return value.mid(1, value.size() - 2);
    return value;
}

} // namespace

IniDocument::IniDocument(const QByteArray& content)
    : m_newLine(nativeNewLine())
    , m_utf8(content.startsWith(Utf8ByteOrderMark)) {
    qsizetype start = 0;
    bool styleFound = false;
    while (start < content.size()) {
        const qsizetype lineFeed = content.indexOf('\n', start);
        if (lineFeed < 0) {
            appendLine(content.mid(start), QByteArray());
            break;
        }
        const bool crlf = lineFeed > start && content.at(lineFeed - 1) == '\r';
        const qsizetype end = crlf ? lineFeed - 1 : lineFeed;
        appendLine(content.mid(start, end - start), crlf ? QByteArrayLiteral("\r\n") : "\n");
        if (!styleFound) {
            m_newLine = m_lines.last().terminator;
            styleFound = true;
        }
        start = lineFeed + 1;
    }
}

void IniDocument::appendLine(const QByteArray& bytes, const QByteArray& terminator) {
    QByteArray textBytes = bytes;
    if (m_lines.isEmpty() && m_utf8)
        textBytes.remove(0, Utf8ByteOrderMark.size());
    // A file saved as UTF-8 with a byte-order mark is read as UTF-8 whatever the code page.
    QStringDecoder decoder(m_utf8 ? QStringConverter::Utf8 : QStringConverter::System);
    m_lines.append(Line{bytes, terminator, decoder.decode(textBytes)});
}

QByteArray IniDocument::content() const {
    QByteArray result;
    for (const Line& line : m_lines)
        result += line.bytes + line.terminator;
    return result;
}

QByteArray IniDocument::encoded(const QString& text) const {
    QStringEncoder encoder(m_utf8 ? QStringConverter::Utf8 : QStringConverter::System);
    return encoder.encode(text);
}

std::optional<QString> IniDocument::sectionName(int index) const {
    const QString text = m_lines.at(index).text.trimmed();
    const qsizetype close = text.indexOf(QLatin1Char(']'));
    if (!text.startsWith(QLatin1Char('[')) || close < 0)
        return std::nullopt;
    return text.mid(1, close - 1).trimmed();
}

std::optional<IniDocument::KeyLine> IniDocument::keyLine(int index) const {
    const QString& text = m_lines.at(index).text;
    const qsizetype equals = text.indexOf(QLatin1Char('='));
    if (equals < 0)
        return std::nullopt;
    const QString key = text.left(equals).trimmed();
    if (key.isEmpty() || sectionName(index))
        return std::nullopt;
    return KeyLine{key, text.mid(equals + 1)};
}

bool IniDocument::isBlank(int index) const {
    return m_lines.at(index).text.trimmed().isEmpty();
}

QList<int> IniDocument::keyLinesOf(const QString& section) const {
    QList<int> indexes;
    bool inSection = false;
    for (int i = 0; i < m_lines.size(); ++i) {
        if (const auto name = sectionName(i))
            inSection = name->compare(section, Qt::CaseInsensitive) == 0;
        else if (inSection && keyLine(i))
            indexes.append(i);
    }
    return indexes;
}

int IniDocument::findKey(const QString& section, const QString& key) const {
    for (const int i : keyLinesOf(section)) {
        if (keyLine(i)->key.compare(key, Qt::CaseInsensitive) == 0)
            return i;
    }
    return -1;
}

int IniDocument::findSection(const QString& section) const {
    for (int i = 0; i < m_lines.size(); ++i) {
        const auto name = sectionName(i);
        if (name && name->compare(section, Qt::CaseInsensitive) == 0)
            return i;
    }
    return -1;
}

std::optional<QString> IniDocument::value(const QString& section, const QString& key) const {
    const int index = findKey(section, key);
    if (index < 0)
        return std::nullopt;
    return unquoted(keyLine(index)->rawValue.trimmed()).left(MaxValueLength);
}

QList<std::pair<QString, QString>> IniDocument::entries(const QString& section) const {
    QList<std::pair<QString, QString>> result;
    for (const int i : keyLinesOf(section)) {
        const QString key = keyLine(i)->key;
        // A repeated key is read from its first line, as value() does.
        if (findKey(section, key) == i)
            result.append({key, *value(section, key)});
    }
    return result;
}

int IniDocument::endOfSection(int headerIndex) const {
    int end = headerIndex + 1;
    // After the last key rather than the last line: a comment just above the next header
    // belongs to that section.
    for (int i = headerIndex + 1; i < m_lines.size() && !sectionName(i); ++i) {
        if (keyLine(i))
            end = i + 1;
    }
    return end;
}

void IniDocument::insertLine(int index, const QString& text) {
    // The line before gets a line break if it was the file's unterminated last line.
    if (index > 0 && m_lines[index - 1].terminator.isEmpty())
        m_lines[index - 1].terminator = m_newLine;
    m_lines.insert(index, Line{encoded(text), m_newLine, text});
}

void IniDocument::setValue(const QString& section, const QString& key, const QString& value) {
    if (const int index = findKey(section, key); index >= 0) {
        Line& line = m_lines[index];
        line.text = keyLine(index)->key + QLatin1Char('=') + value;
        line.bytes = encoded(line.text);
        return;
    }
    const QString newLine = key + QLatin1Char('=') + value;
    if (const int header = findSection(section); header >= 0) {
        insertLine(endOfSection(header), newLine);
        return;
    }
    if (!m_lines.isEmpty() && !isBlank(m_lines.size() - 1))
        insertLine(m_lines.size(), QString());
    insertLine(m_lines.size(), QLatin1Char('[') + section + QLatin1Char(']'));
    insertLine(m_lines.size(), newLine);
}
