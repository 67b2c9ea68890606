#include "screen/CardStore.h"

#include "status/OperatorReport.h"

#include <QJsonDocument>
#include <QRandomGenerator>
#include <QVariant>

namespace {

const QString kTimeFormat = QStringLiteral("yyyy-MM-ddTHH:mm:ss.zzz");
const QString kOpenCard = QStringLiteral(" WHERE id = ? AND screen = ? AND bumped IS NULL");

QVariant TimeValue(const QDateTime& time) {
    return time.isValid() ? QVariant(time.toString(kTimeFormat)) : QVariant();
}

QDateTime TimeOf(const QVariant& value) {
    return value.isNull() ? QDateTime() : QDateTime::fromString(value.toString(), kTimeFormat);
}

QByteArray CardJson(const KitchenCard& card) {
    return QJsonDocument(card.ToJson()).toJson(QJsonDocument::Compact);
}

bool MakeScreenTables(QSqlQuery& query) {
    return query.exec(QStringLiteral(
               "CREATE TABLE IF NOT EXISTS screen_cards (id INTEGER PRIMARY KEY AUTOINCREMENT, "
               "screen TEXT NOT NULL, created TEXT NOT NULL, shown TEXT, bumped TEXT, "
               "cancellation INTEGER NOT NULL, card TEXT NOT NULL)")) &&
           query.exec(QStringLiteral(
               "CREATE INDEX IF NOT EXISTS screen_cards_open ON screen_cards(screen, bumped)")) &&
           query.exec(QStringLiteral("CREATE TABLE IF NOT EXISTS screen_keys (screen TEXT "
                                     "PRIMARY KEY, key TEXT NOT NULL)"));
}

} // namespace

CardStore::CardStore(QString filePath, OperatorReport& report, DiagnosticLog& log)
    : m_file(std::move(filePath), QStringLiteral("ekran"), MakeScreenTables, log)
    , m_report(report) {}

std::optional<QSqlQuery> CardStore::Run(const QString& sql, const QVariantList& values) {
    QString error;
    std::optional<QSqlQuery> query = m_file.Run(sql, values, error);
    if (query) {
        m_report.Ended(FaultKind::ScreenCardsFailing, m_file.filePath(),
                       QStringLiteral("Ekran kartlari yeniden yaziliyor: ") + m_file.filePath());
        return query;
    }
    // Closed, so the next call opens the file afresh: it may have been moved or fixed.
    m_file.Close();
    if (!m_report.isOn(FaultKind::ScreenCardsFailing, m_file.filePath()))
        m_report.Started(FaultKind::ScreenCardsFailing, m_file.filePath(),
                         QStringLiteral("Ekran kartlari okunamadi veya yazilamadi -- ") +
                             m_file.filePath() + QStringLiteral(": ") + error);
    return std::nullopt;
}

bool CardStore::Change(const QString& sql, const QVariantList& values) {
    const std::optional<QSqlQuery> query = Run(sql, values);
    return query && query->numRowsAffected() > 0;
}

std::optional<qint64> CardStore::Add(const QString& screen, const KitchenCard& card) {
    Prune(card.created.date());
    const std::optional<QSqlQuery> query =
        Run(QStringLiteral("INSERT INTO screen_cards (screen, created, cancellation, card) "
                           "VALUES (?, ?, ?, ?)"),
            {screen, TimeValue(card.created), card.cancellation ? 1 : 0, CardJson(card)});
    if (!query)
        return std::nullopt;
    return query->lastInsertId().toLongLong();
}

bool CardStore::Remove(qint64 id) {
    return Run(QStringLiteral("DELETE FROM screen_cards WHERE id = ?"), {id}).has_value();
}

std::optional<QList<KitchenCard>> CardStore::OpenCards(const QString& screen) {
    std::optional<QSqlQuery> query =
        Run(QStringLiteral("SELECT id, created, shown, card FROM screen_cards WHERE screen = ? "
                           "AND bumped IS NULL ORDER BY id"),
            {screen});
    if (!query)
        return std::nullopt;
    QList<KitchenCard> cards;
    while (query->next()) {
        KitchenCard card =
            KitchenCard::FromJson(QJsonDocument::fromJson(query->value(3).toByteArray()).object());
        card.id = query->value(0).toLongLong();
        card.created = TimeOf(query->value(1));
        card.shown = TimeOf(query->value(2));
        cards.append(card);
    }
    return cards;
}

bool CardStore::MarkShown(const QString& screen, qint64 id, const QDateTime& time) {
    return Change(QStringLiteral("UPDATE screen_cards SET shown = ?") + kOpenCard +
                      QStringLiteral(" AND shown IS NULL"),
                  {TimeValue(time), id, screen});
}

bool CardStore::SaveItems(const QString& screen, const KitchenCard& card) {
    return Change(QStringLiteral("UPDATE screen_cards SET card = ?") + kOpenCard,
                  {CardJson(card), card.id, screen});
}

bool CardStore::Bump(const QString& screen, qint64 id, const QDateTime& time) {
    return Change(QStringLiteral("UPDATE screen_cards SET bumped = ?") + kOpenCard,
                  {TimeValue(time), id, screen});
}

bool CardStore::Recall(const QString& screen) {
    return Change(QStringLiteral("UPDATE screen_cards SET bumped = NULL WHERE id = (SELECT id "
                                 "FROM screen_cards WHERE screen = ? AND bumped IS NOT NULL "
                                 "ORDER BY bumped DESC, id DESC LIMIT 1)"),
                  {screen});
}

QList<qint64> CardStore::PreparationTimes(const QString& screen, const QDate& day) {
    std::optional<QSqlQuery> query = Run(
        QStringLiteral("SELECT CAST(ROUND((julianday(bumped) - julianday(shown)) * 86400000) AS "
                       "INTEGER) AS took FROM screen_cards WHERE screen = ? AND cancellation = 0 "
                       "AND shown IS NOT NULL AND bumped >= ? AND bumped < ? ORDER BY took"),
        {screen, TimeValue(day.startOfDay()), TimeValue(day.addDays(1).startOfDay())});
    QList<qint64> times;
    while (query && query->next())
        times.append(query->value(0).toLongLong());
    return times;
}

QByteArray CardStore::Key(const QString& screen) {
    std::optional<QSqlQuery> query =
        Run(QStringLiteral("SELECT key FROM screen_keys WHERE screen = ?"), {screen});
    if (query && query->next())
        return query->value(0).toByteArray();
    if (!query)
        return QByteArray();
    quint32 words[4];
    QRandomGenerator::system()->fillRange(words);
    const QByteArray key = QByteArray(reinterpret_cast<const char*>(words), sizeof words).toHex();
    return Change(QStringLiteral("INSERT INTO screen_keys (screen, key) VALUES (?, ?)"),
                  {screen, key})
               ? key
               : QByteArray();
}

void CardStore::Prune(const QDate& today) {
    if (m_prunedOn == today)
        return;
    if (Run(QStringLiteral("DELETE FROM screen_cards WHERE created < ?"),
            {TimeValue(today.addDays(-kRetentionDays).startOfDay())}))
        m_prunedOn = today;
}
