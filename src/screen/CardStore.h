#pragma once

#include "journal/JournalFile.h"
#include "screen/KitchenCard.h"

#include <QDate>
#include <QDateTime>
#include <QList>
#include <QSqlQuery>
#include <QString>
#include <QVariantList>
#include <optional>

class DiagnosticLog;
class OperatorReport;

// The cards of the kitchen screens and each screen's key, in tables of their own in the
// journal's SQLite file, through a connection of their own: a reload, another tablet or a
// restart shows the open cards again and never a bumped one. Each card keeps when it was made,
// first drawn on a screen and bumped, so the day's preparation times are read from here.
// Screens are named case-folded, one screen under the printer-name rule. Nothing throws and
// nothing waits for another program's lock: a call that fails says so by its result, it is
// reported once until the file works again (status/OperatorReport.h), and the caller decides (a
// card that cannot be stored is not shown, so its ticket goes to paper).
class CardStore {
public:
    static constexpr int kRetentionDays = 30;

    CardStore(QString filePath, OperatorReport& report, DiagnosticLog& log);

    // The new card's id.
    std::optional<qint64> Add(const QString& screen, const KitchenCard& card);
    // False when the file failed; a card already gone counts as removed.
    bool Remove(qint64 id);
    // The screen's cards not bumped, oldest first; nothing when the file cannot be read.
    std::optional<QList<KitchenCard>> OpenCards(const QString& screen);
    // The first time a screen drew the open card; false when it is no open card of the screen.
    bool MarkShown(const QString& screen, qint64 id, const QDateTime& time);
    // The items' marks of an open card of the screen.
    bool SaveItems(const QString& screen, const KitchenCard& card);
    bool Bump(const QString& screen, qint64 id, const QDateTime& time);
    // Opens the card bumped last again; false when there is none.
    bool Recall(const QString& screen);
    // From first drawn to bumped, in milliseconds, of the orders bumped that day, shortest first.
    QList<qint64> PreparationTimes(const QString& screen, const QDate& day);
    // The secret of the screen's link, made at the first call; empty when the file fails.
    QByteArray Key(const QString& screen);

private:
    // The statement run, or nothing when it failed.
    std::optional<QSqlQuery> Run(const QString& sql, const QVariantList& values);
    // Run, true when it changed a row.
    bool Change(const QString& sql, const QVariantList& values);
    void Prune(const QDate& today);

    JournalFile m_file;
    OperatorReport& m_report;
    QDate m_prunedOn;
};
