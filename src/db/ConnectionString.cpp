#include "db/ConnectionString.h"

#include "core/Error.h"

#include <QDir>
#include <QList>
#include <QPair>
#include <QRegularExpression>
#include <algorithm>

namespace {

using Attribute = QPair<QString, QString>;
using Attributes = QList<Attribute>;

const QString OdbcDriver = QStringLiteral("QODBC");
const QString SqliteDriver = QStringLiteral("QSQLITE");
const QString FreeTds = QStringLiteral("FreeTDS");
const QString MicrosoftDriver18 = QStringLiteral("ODBC Driver 18 for SQL Server");

bool sameName(const QString& a, const QString& b) {
    return a.compare(b, Qt::CaseInsensitive) == 0;
}

void setAttribute(Attributes& attributes, const QString& key, const QString& value) {
    for (Attribute& attribute : attributes) {
        if (sameName(attribute.first, key)) {
            attribute.second = value;
            return;
        }
    }
    attributes.append({key, value});
}

QString attribute(const Attributes& attributes, const QString& key) {
    for (const Attribute& attribute : attributes) {
        if (sameName(attribute.first, key))
            return attribute.second;
    }
    return QString();
}

bool hasAttribute(const Attributes& attributes, const QString& key) {
    return std::any_of(attributes.begin(), attributes.end(),
                       [&](const Attribute& attribute) { return sameName(attribute.first, key); });
}

// OLE DB rules: "key=value" pairs split by ";"; a value in single or double quotes may hold
// ";" and its own quote doubled; of a repeated key the last wins. Error texts never quote the
// string, since it may hold a password.
Attributes parseOleDbString(const QString& text) {
    Attributes attributes;
    const qsizetype size = text.size();
    qsizetype i = 0;
    auto skipBlanks = [&] {
        while (i < size && text.at(i).isSpace())
            ++i;
    };
    while (i < size) {
        const qsizetype equals = text.indexOf(QLatin1Char('='), i);
        qsizetype semicolon = text.indexOf(QLatin1Char(';'), i);
        if (semicolon < 0)
            semicolon = size;
        if (equals < 0 || semicolon < equals) {
            if (!text.mid(i, semicolon - i).trimmed().isEmpty())
                throw DatabaseError(
                    QStringLiteral("Baglanti metni hatali: \"=\" olmayan bir parca var"));
            i = semicolon + 1;
            continue;
        }
        const QString key = text.mid(i, equals - i).trimmed();
        i = equals + 1;
        skipBlanks();
        QString value;
        if (i < size && (text.at(i) == QLatin1Char('"') || text.at(i) == QLatin1Char('\''))) {
            const QChar quote = text.at(i++);
            for (;;) {
                if (i >= size)
                    throw DatabaseError(
                        QStringLiteral("Baglanti metni hatali: %1 degerinin tirnagi kapanmiyor")
                            .arg(key));
                const QChar character = text.at(i++);
                if (character != quote) {
                    value += character;
                } else if (i < size && text.at(i) == quote) {
                    value += quote; // a doubled quote stands for itself
                    ++i;
                } else {
                    break;
                }
            }
            skipBlanks();
            if (i < size && text.at(i) != QLatin1Char(';'))
                throw DatabaseError(
                    QStringLiteral("Baglanti metni hatali: %1 degerinde tirnaktan sonra metin var")
                        .arg(key));
        } else {
            value = text.mid(i, semicolon - i).trimmed();
            i = semicolon;
        }
        ++i;
        setAttribute(attributes, key, value);
    }
    return attributes;
}

bool needsBraces(const QString& value) {
    static const QRegularExpression pattern(QStringLiteral("[;{}]|^\\s|\\s$"));
    return pattern.match(value).hasMatch();
}

// In braces ";" cannot split the string. Microsoft's drivers read a doubled "}" as one;
// FreeTDS ends a braced value at the first "};" and keeps every other brace as it is.
QString odbcValue(const QString& key, const QString& value, const QString& driver) {
    if (!needsBraces(value))
        return value;
    if (!sameName(driver, FreeTds)) {
        QString escaped = value;
        escaped.replace(QLatin1Char('}'), QLatin1String("}}"));
        return QLatin1Char('{') + escaped + QLatin1Char('}');
    }
    if (value.contains(QLatin1String("};")))
        throw DatabaseError(
            QStringLiteral("FreeTDS surucusu \"};\" iceren bir %1 degerini aktaramaz").arg(key));
    return QLatin1Char('{') + value + QLatin1Char('}');
}

// The driver manager and the drivers match keywords with the C library's case folding, which
// follows the process locale: under Turkish settings "Driver" is not "DRIVER", since "i" does
// not upper-case to "I" there. Upper-case keywords match under every locale. ASCII letters
// only, so a keyword's other characters stay as written.
QString odbcKeyword(const QString& keyword) {
    QString upper = keyword;
    for (QChar& character : upper) {
        if (character >= QLatin1Char('a') && character <= QLatin1Char('z'))
            character = QChar(character.unicode() - ('a' - 'A'));
    }
    return upper;
}

// Where an ODBC value ends: at the next ";", or after its closing brace when it is braced
// ("}}" inside braces stands for one brace), so a ";" or "=" inside a value is never taken
// for the start of a keyword.
qsizetype endOfOdbcValue(const QString& text, qsizetype start) {
    qsizetype i = start;
    while (i < text.size() && text.at(i).isSpace())
        ++i;
    if (i < text.size() && text.at(i) == QLatin1Char('{')) {
        for (++i; i < text.size(); ++i) {
            if (text.at(i) != QLatin1Char('}'))
                continue;
            if (i + 1 < text.size() && text.at(i + 1) == QLatin1Char('}'))
                ++i;
            else
                break;
        }
    }
    const qsizetype semicolon = text.indexOf(QLatin1Char(';'), i);
    return semicolon < 0 ? text.size() : semicolon;
}

// The technician's string with its keywords upper-cased; values, quoting, blanks and
// separators stay byte for byte.
QString withOdbcKeywords(const QString& text) {
    QString result;
    qsizetype i = 0;
    while (i < text.size()) {
        const qsizetype equals = text.indexOf(QLatin1Char('='), i);
        qsizetype semicolon = text.indexOf(QLatin1Char(';'), i);
        if (semicolon < 0)
            semicolon = text.size();
        if (equals < 0 || semicolon < equals) {
            result += text.mid(i, semicolon + 1 - i); // no keyword in this part
            i = semicolon + 1;
            continue;
        }
        const qsizetype end = endOfOdbcValue(text, equals + 1);
        result += odbcKeyword(text.mid(i, equals - i)) + text.mid(equals, end + 1 - equals);
        i = end + 1;
    }
    return result;
}

// Every attribute ends with ";": FreeTDS otherwise reads the last value one character long.
ConnectionTarget sqlServerTarget(Attributes attributes, const QStringList& installedOdbcDrivers) {
    const QString driver = SqlServerOdbcDriver(installedOdbcDrivers);
    // Driver 18 encrypts by default and refuses the self-signed certificate that a local
    // SQL Server Express instance presents.
    if (sameName(driver, MicrosoftDriver18) && !hasAttribute(attributes, "TrustServerCertificate"))
        attributes.append({QStringLiteral("TrustServerCertificate"), QStringLiteral("yes")});
    QString text = QStringLiteral("DRIVER={%1};").arg(driver);
    for (const auto& [key, value] : attributes)
        text +=
            odbcKeyword(key) + QLatin1Char('=') + odbcValue(key, value, driver) + QLatin1Char(';');
    return {OdbcDriver, text};
}

// The OLE DB keywords that ODBC spells differently. The others go across as written: drivers
// skip keywords they do not know.
QString odbcKeyFor(const QString& oleDbKey) {
    static const QList<QPair<QString, QString>> renamed = {{"Data Source", "Server"},
                                                           {"Initial Catalog", "Database"},
                                                           {"User ID", "UID"},
                                                           {"Password", "PWD"}};
    for (const auto& [oleDb, odbc] : renamed) {
        if (sameName(oleDbKey, oleDb))
            return odbc;
    }
    return oleDbKey;
}

ConnectionTarget sqlServerTargetFromOleDb(const Attributes& oleDb,
                                          const QStringList& installedOdbcDrivers) {
    Attributes odbc;
    for (const auto& [key, value] : oleDb) {
        if (!sameName(key, "Provider") && !sameName(key, "Persist Security Info"))
            setAttribute(odbc, odbcKeyFor(key), value);
    }
    return sqlServerTarget(odbc, installedOdbcDrivers);
}

bool isSqlServerProvider(const QString& provider) {
    static const QStringList prefixes = {"SQLOLEDB", "MSOLEDBSQL", "SQLNCLI"};
    return provider.isEmpty() ||
           std::any_of(prefixes.begin(), prefixes.end(), [&](const QString& prefix) {
               return provider.startsWith(prefix, Qt::CaseInsensitive);
           });
}

bool isOdbcString(const QString& text) {
    static const QRegularExpression pattern(QStringLiteral("(^|;)\\s*(Driver|DSN)\\s*="),
                                            QRegularExpression::CaseInsensitiveOption);
    return pattern.match(text).hasMatch();
}

ConnectionTarget sqliteTarget(const Attributes& attributes, const QString& executableDirectory) {
    const QString file = QDir::fromNativeSeparators(attribute(attributes, "Data Source"));
    if (file.isEmpty())
        throw DatabaseError(QStringLiteral("Baglanti metninde Data Source yok"));
    const QString path =
        QDir::isAbsolutePath(file) ? file : QDir(executableDirectory).filePath(file);
    return {SqliteDriver, QDir::cleanPath(path)};
}

} // namespace

QString SqlServerOdbcDriver(const QStringList& installedOdbcDrivers) {
    static const QStringList preferred = {MicrosoftDriver18,
                                          QStringLiteral("ODBC Driver 17 for SQL Server"), FreeTds,
                                          QStringLiteral("SQL Server")};
    for (const QString& name : preferred) {
        for (const QString& installed : installedOdbcDrivers) {
            if (sameName(installed, name))
                return installed;
        }
    }
    return preferred.last();
}

ConnectionTarget SqlServerTarget(const QString& server, const QString& database,
                                 const QString& user, const QString& password,
                                 const QStringList& installedOdbcDrivers) {
    return sqlServerTarget({{QStringLiteral("Server"), server},
                            {QStringLiteral("Database"), database},
                            {QStringLiteral("UID"), user},
                            {QStringLiteral("PWD"), password}},
                           installedOdbcDrivers);
}

ConnectionTarget TranslateConnectionString(const QString& connectionString,
                                           const QString& executableDirectory,
                                           const QStringList& installedOdbcDrivers) {
    if (isOdbcString(connectionString)) {
        QString text = withOdbcKeywords(connectionString.trimmed());
        if (!text.endsWith(QLatin1Char(';')))
            text += QLatin1Char(';'); // FreeTDS misreads an unterminated last value
        return {OdbcDriver, text};
    }
    const Attributes attributes = parseOleDbString(connectionString);
    const QString provider = attribute(attributes, "Provider");
    if (provider.startsWith(QLatin1String("SQLite"), Qt::CaseInsensitive))
        return sqliteTarget(attributes, executableDirectory);
    if (isSqlServerProvider(provider))
        return sqlServerTargetFromOleDb(attributes, installedOdbcDrivers);
    throw DatabaseError(QStringLiteral("Desteklenmeyen saglayici: ") + provider);
}
