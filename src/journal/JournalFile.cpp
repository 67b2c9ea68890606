#include "journal/JournalFile.h"

#include "log/DiagnosticLog.h"

#include <QFileInfo>
#include <QHash>
#include <QMutex>
#include <QSqlError>
#include <QVariant>

namespace {

const QString kTimeFormat = QStringLiteral("yyyy-MM-ddTHH:mm:ss.zzz");

// The journal files this process has opened, by absolute path, each with how often it was made
// again after a deletion: a connection opened before the last time has the deleted file.
class Remakes {
public:
    static Remakes& Instance() {
        static Remakes remakes;
        return remakes;
    }
    // Nothing for a file not opened before.
    std::optional<int> Of(const QString& filePath) {
        const QMutexLocker lock(&m_mutex);
        const auto found = m_counts.constFind(Key(filePath));
        return found == m_counts.constEnd() ? std::nullopt : std::optional<int>(*found);
    }
    void Opened(const QString& filePath) {
        const QMutexLocker lock(&m_mutex);
        m_counts.insert(Key(filePath), m_counts.value(Key(filePath)));
    }
    void MadeAgain(const QString& filePath) {
        const QMutexLocker lock(&m_mutex);
        ++m_counts[Key(filePath)];
    }

private:
    static QString Key(const QString& filePath) { return QFileInfo(filePath).absoluteFilePath(); }

    QMutex m_mutex;
    QHash<QString, int> m_counts;
};

} // namespace

JournalFile::JournalFile(QString filePath, const QString& name, Schema schema, DiagnosticLog& log)
    : m_filePath(std::move(filePath))
    , m_connectionName(
          QStringLiteral("velmora-%1-%2").arg(name).arg(reinterpret_cast<quintptr>(this)))
    , m_schema(std::move(schema))
    , m_log(log) {
    QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), m_connectionName);
    db.setDatabaseName(m_filePath);
    db.setConnectOptions(QStringLiteral("QSQLITE_BUSY_TIMEOUT=0"));
}

JournalFile::~JournalFile() {
    database().close();
    QSqlDatabase::removeDatabase(m_connectionName);
}

QSqlDatabase JournalFile::database() const {
    return QSqlDatabase::database(m_connectionName, false);
}

bool JournalFile::HasFile() const {
    return QFileInfo::exists(m_filePath) &&
           Remakes::Instance().Of(m_filePath) == std::optional<int>(m_remakesAtOpen);
}

bool JournalFile::Open() const {
    QSqlDatabase db = database();
    if (db.isOpen() && HasFile())
        return true;
    db.close();
    if (!QFileInfo::exists(m_filePath) && Remakes::Instance().Of(m_filePath)) {
        Remakes::Instance().MadeAgain(m_filePath);
        m_log.LogLine(QStringLiteral("Fis gunlugu silinmis, yeniden olusturuluyor: ") + m_filePath,
                      true);
    }
    if (!db.open())
        return false;
    Remakes::Instance().Opened(m_filePath);
    m_remakesAtOpen = *Remakes::Instance().Of(m_filePath);
    QSqlQuery query(db);
    // A commit waits for no disk flush: a record costs well under a millisecond, and a power
    // cut loses at most the last records, never the file.
    const bool ready = query.exec(QStringLiteral("PRAGMA journal_mode=WAL")) &&
                       query.exec(QStringLiteral("PRAGMA synchronous=NORMAL")) && m_schema(query);
    if (!ready)
        db.close();
    return ready;
}

void JournalFile::Close() const {
    database().close();
}

std::optional<QSqlQuery> JournalFile::Run(const QString& sql, const QVariantList& values,
                                          QString& error) const {
    if (!Open()) {
        error = database().lastError().text();
        if (error.trimmed().isEmpty())
            error = QStringLiteral("dosya acilamadi");
        return std::nullopt;
    }
    QSqlQuery query(database());
    query.prepare(sql);
    for (const QVariant& value : values)
        query.addBindValue(value);
    if (query.exec())
        return query;
    error = query.lastError().text();
    return std::nullopt;
}

QString JournalFile::TimeText(const QDateTime& time) {
    return time.toString(kTimeFormat);
}

QDateTime JournalFile::TimeOf(const QString& text) {
    return QDateTime::fromString(text, kTimeFormat);
}
