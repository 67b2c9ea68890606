#pragma once

#include "http/EventStream.h"
#include "print/KitchenScreens.h"
#include "screen/CardStore.h"
#include "web/ScreenBackend.h"

#include <QDateTime>
#include <QHash>
#include <QList>
#include <QObject>
#include <QSet>
#include <QStringList>
#include <QTimer>
#include <functional>
#include <memory>

class DiagnosticLog;
class OperatorReport;
class PrinterRegistry;
class QEventLoop;

// The kitchen screens of the running server: the printer side of "ekran:" paths and the page
// side of their event streams, with the cards in the CardStore. Every page of a screen gets
// the screen's open cards at once and after each change, and says every kSeenMs which cards it
// drew; a page silent for kStaleMs is closed, so a screen that is off or asleep counts as gone.
//
// Printing and the pages share the server's thread. A ticket waits for its confirmation in an
// event loop of its own (the queue's tick does the same for its downloads), in which the page's
// confirmation arrives; the wait ends with the confirmation, with the last page of the screen
// closing, with kDeliveryMs or at Close(). Waits nest: one begun inside another ends first.
class ScreenHub : public QObject, public KitchenScreens, public ScreenBackend {
public:
    static constexpr int kSeenMs = 5000;
    static constexpr int kStaleMs = 20000;

    // What the status page shows of one screen.
    struct State {
        int connected = 0;
        QDateTime lastSeen;
        std::optional<int> openCards;
        QList<qint64> preparationTimes; // today's, shortest first
    };

    ScreenHub(const QString& filePath, const PrinterRegistry& registry, OperatorReport& report,
              DiagnosticLog& log);
    ~ScreenHub() override;

    // What the pages say above the cards: empty, or which server prints while this one stands by.
    void setNotice(std::function<QString()> notice) { m_notice = std::move(notice); }
    // Called when the last wait for a confirmation ended.
    void setWaitsEnded(std::function<void()> ended) { m_waitsEnded = std::move(ended); }
    bool isWaiting() const { return !m_waits.isEmpty(); }
    // At close: the waits end unconfirmed and the streams close.
    void Close();

    // The screens of A_Yazicilar, each name once.
    QStringList ScreenNames() const;
    State StateOf(const QString& name);

    void Show(const ScreenAddress& address, const Ticket& ticket) override;
    QString Check(const ScreenAddress& address) override;

    std::optional<ScreenAddress> FindScreen(const QString& name) override;
    QByteArray Key(const QString& name) override;
    void Stream(const QString& name, QTcpSocket* socket) override;
    void Drawn(const QString& name, qint64 stream, const QList<qint64>& cards) override;
    bool Bump(const QString& name, qint64 card) override;
    bool Recall(const QString& name) override;
    bool CrossOff(const QString& name, qint64 card, int item) override;

private:
    struct Page {
        QString name;   // as its path writes it
        QString screen; // case-folded
        EventStream events;
        QDateTime lastSeen;
    };
    struct Wait {
        QString screen;
        QEventLoop* loop = nullptr;
        bool drawn = false;
    };

    static QString ScreenKey(const QString& name);
    // The well-formed screen paths of A_Yazicilar.
    QList<ScreenAddress> Addresses() const;
    int LiveStreams(const QString& screen) const;
    // False when no page drew the card in time.
    bool WaitUntilDrawn(const QString& screen, qint64 card);
    // Takes a card no page drew off the screens; one the store cannot delete now is left out
    // of what the pages get and deleted with the next one.
    void Withdraw(qint64 card);
    // Every page of the screen gets its cards; one page alone when given.
    void Push(const QString& screen, qint64 onlyTo = 0);
    void StrikeCancelled(const QString& screen, const KitchenCard& cancellation);
    void PageClosed(qint64 stream);
    // Pings the pages, closes the silent ones and passes a changed notice on.
    void Sweep();

    CardStore m_store;
    const PrinterRegistry& m_registry;
    DiagnosticLog& m_log;
    std::function<QString()> m_notice;
    std::function<void()> m_waitsEnded;
    QString m_noticeShown;
    QHash<qint64, Page> m_pages; // by stream
    qint64 m_nextStream = 1;
    QHash<qint64, Wait*> m_waits;         // by card
    QHash<QString, QDateTime> m_lastSeen; // by screen, outliving its pages
    QHash<QString, QByteArray> m_keys;    // by screen, once read
    QSet<qint64> m_withdrawn;             // cards the store still holds though no page drew them
    QTimer m_sweep;
};
