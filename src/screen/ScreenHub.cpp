#include "screen/ScreenHub.h"

#include "core/Error.h"
#include "log/DiagnosticLog.h"
#include "print/PrinterNames.h"
#include "print/PrinterRegistry.h"

#include <QEventLoop>
#include <QJsonArray>
#include <QJsonDocument>
#include <QTcpSocket>
#include <algorithm>
#include <utility>

ScreenHub::ScreenHub(const QString& filePath, const PrinterRegistry& registry,
                     OperatorReport& report, DiagnosticLog& log)
    : m_store(filePath, report, log)
    , m_registry(registry)
    , m_log(log) {
    m_sweep.setInterval(kSeenMs);
    connect(&m_sweep, &QTimer::timeout, this, &ScreenHub::Sweep);
}

ScreenHub::~ScreenHub() {
    Close();
}

void ScreenHub::Close() {
    for (Wait* wait : std::as_const(m_waits))
        wait->loop->quit();
    // Taken out first: a closing socket reports back into the list.
    const QHash<qint64, Page> pages = std::exchange(m_pages, {});
    for (const Page& page : pages)
        page.events.Close();
    m_sweep.stop();
}

QString ScreenHub::ScreenKey(const QString& name) {
    return name.trimmed().toCaseFolded();
}

QList<ScreenAddress> ScreenHub::Addresses() const {
    QList<ScreenAddress> addresses;
    for (const TYazici& printer : m_registry.printers()) {
        if (!ScreenAddress::IsScreenPath(printer.Yol))
            continue;
        try {
            addresses << ScreenAddress::Parse(printer.Yol);
        } catch (const PrinterError&) {
            // Its tickets fail with the reason; there is no page to show.
        }
    }
    return addresses;
}

QStringList ScreenHub::ScreenNames() const {
    QStringList names;
    for (const ScreenAddress& address : Addresses()) {
        if (!HoldsPrinterName(names, address.name))
            names << address.name;
    }
    return names;
}

std::optional<ScreenAddress> ScreenHub::FindScreen(const QString& name) {
    for (const ScreenAddress& address : Addresses()) {
        if (SamePrinterName(address.name, name))
            return address;
    }
    return std::nullopt;
}

ScreenHub::State ScreenHub::StateOf(const QString& name) {
    const QString screen = ScreenKey(name);
    State state;
    state.connected = LiveStreams(screen);
    state.lastSeen = m_lastSeen.value(screen);
    if (const auto cards = m_store.OpenCards(screen))
        state.openCards = static_cast<int>(cards->size());
    state.preparationTimes = m_store.PreparationTimes(screen, QDate::currentDate());
    return state;
}

int ScreenHub::LiveStreams(const QString& screen) const {
    return static_cast<int>(std::count_if(m_pages.cbegin(), m_pages.cend(), [&](const Page& page) {
        return page.screen == screen && page.events.isOpen();
    }));
}

void ScreenHub::Show(const ScreenAddress& address, const Ticket& ticket) {
    const QString screen = ScreenKey(address.name);
    if (LiveStreams(screen) == 0)
        throw PrinterError(kNotConnected);
    KitchenCard card = KitchenCard::FromTicket(ticket, QDateTime::currentDateTime());
    const std::optional<qint64> id = m_store.Add(screen, card);
    if (!id)
        throw PrinterError(QStringLiteral("Ekran kartlari kaydedilemedi"));
    card.id = *id;
    Push(screen);
    if (!WaitUntilDrawn(screen, card.id)) {
        // Never shown: the ticket goes to paper or waits, and must not come back here too.
        Withdraw(card.id);
        Push(screen);
        throw PrinterError(
            LiveStreams(screen) == 0
                ? kNotConnected
                : kNotConnected +
                      QStringLiteral(": %1 sn icinde cizilmedi").arg(kDeliveryMs / 1000));
    }
    if (card.cancellation)
        StrikeCancelled(screen, card);
}

QString ScreenHub::Check(const ScreenAddress& address) {
    return LiveStreams(ScreenKey(address.name)) > 0 ? QString() : kNotConnected;
}

bool ScreenHub::WaitUntilDrawn(const QString& screen, qint64 card) {
    QEventLoop loop;
    Wait wait{screen, &loop, false};
    m_waits.insert(card, &wait);
    QTimer::singleShot(kDeliveryMs, Qt::PreciseTimer, &loop, &QEventLoop::quit);
    loop.exec(QEventLoop::ExcludeUserInputEvents);
    m_waits.remove(card);
    if (m_waits.isEmpty() && m_waitsEnded)
        m_waitsEnded();
    return wait.drawn;
}

void ScreenHub::StrikeCancelled(const QString& screen, const KitchenCard& cancellation) {
    std::optional<QList<KitchenCard>> cards = m_store.OpenCards(screen);
    if (!cards || cancellation.bill.isEmpty())
        return;
    bool changed = false;
    for (const CardItem& item : cancellation.items) {
        // The newest order of the bill first: a line is taken back from its latest ticket.
        for (auto card = cards->rbegin(); card != cards->rend(); ++card) {
            if (card->cancellation || card->bill != cancellation.bill || !card->Cancel(item.name))
                continue;
            changed = m_store.SaveItems(screen, *card) || changed;
            break;
        }
    }
    if (changed)
        Push(screen);
}

QByteArray ScreenHub::Key(const QString& name) {
    const QString screen = ScreenKey(name);
    if (!m_keys.contains(screen)) {
        const QByteArray key = m_store.Key(screen);
        if (key.isEmpty())
            return key;
        m_keys.insert(screen, key);
    }
    return m_keys.value(screen);
}

void ScreenHub::Stream(const QString& name, QTcpSocket* socket) {
    const QString screen = ScreenKey(name);
    const qint64 stream = m_nextStream++;
    m_pages.insert(stream, {name, screen, EventStream(socket), QDateTime::currentDateTime()});
    m_lastSeen.insert(screen, QDateTime::currentDateTime());
    connect(socket, &QTcpSocket::disconnected, this, [this, stream] { PageClosed(stream); });
    m_sweep.start();
    m_log.LogLine(QStringLiteral("Ekran sayfasi acildi: %1 (acik sayfa: %2)")
                      .arg(name)
                      .arg(LiveStreams(screen)),
                  false);
    Push(screen, stream);
}

void ScreenHub::Drawn(const QString& name, qint64 stream, const QList<qint64>& cards) {
    const QString screen = ScreenKey(name);
    const QDateTime now = QDateTime::currentDateTime();
    const auto page = m_pages.find(stream);
    if (page != m_pages.end() && page->screen == screen)
        page->lastSeen = now;
    m_lastSeen.insert(screen, now);
    for (const qint64 card : cards) {
        m_store.MarkShown(screen, card, now);
        Wait* wait = m_waits.value(card);
        if (wait && wait->screen == screen) {
            wait->drawn = true;
            wait->loop->quit();
        }
    }
}

bool ScreenHub::Bump(const QString& name, qint64 card) {
    const QString screen = ScreenKey(name);
    if (!m_store.Bump(screen, card, QDateTime::currentDateTime()))
        return false;
    Push(screen);
    return true;
}

bool ScreenHub::Recall(const QString& name) {
    const QString screen = ScreenKey(name);
    if (!m_store.Recall(screen))
        return false;
    Push(screen);
    return true;
}

bool ScreenHub::CrossOff(const QString& name, qint64 card, int item) {
    const QString screen = ScreenKey(name);
    std::optional<QList<KitchenCard>> cards = m_store.OpenCards(screen);
    if (!cards)
        return false;
    for (KitchenCard& open : *cards) {
        if (open.id != card || item < 0 || item >= open.items.size())
            continue;
        open.items[item].crossedOff = !open.items[item].crossedOff;
        if (!m_store.SaveItems(screen, open))
            return false;
        Push(screen);
        return true;
    }
    return false;
}

void ScreenHub::Withdraw(qint64 card) {
    m_withdrawn.insert(card);
    m_withdrawn.removeIf([this](qint64 id) { return m_store.Remove(id); });
}

void ScreenHub::Push(const QString& screen, qint64 onlyTo) {
    std::optional<QList<KitchenCard>> cards = m_store.OpenCards(screen);
    if (cards)
        cards->removeIf([this](const KitchenCard& card) { return m_withdrawn.contains(card.id); });
    QJsonObject state;
    const std::optional<ScreenAddress> address = FindScreen(screen);
    state.insert(QStringLiteral("now"), QDateTime::currentMSecsSinceEpoch());
    state.insert(QStringLiteral("yellow"),
                 address ? address->yellowMinutes : ScreenAddress::kDefaultYellowMinutes);
    state.insert(QStringLiteral("red"),
                 address ? address->redMinutes : ScreenAddress::kDefaultRedMinutes);
    m_noticeShown = m_notice ? m_notice() : QString();
    state.insert(QStringLiteral("notice"), m_noticeShown);
    // A page keeps what it shows while the cards cannot be read.
    if (!cards)
        state.insert(QStringLiteral("error"), QStringLiteral("Kartlar okunamadı"));
    QJsonArray cardArray;
    for (const KitchenCard& card : cards.value_or(QList<KitchenCard>()))
        cardArray.append(card.ToJson());
    if (cards)
        state.insert(QStringLiteral("cards"), cardArray);
    QList<qint64> lagging;
    for (auto page = m_pages.begin(); page != m_pages.end(); ++page) {
        if (page->screen != screen || (onlyTo != 0 && page.key() != onlyTo))
            continue;
        state.insert(QStringLiteral("stream"), page.key());
        if (!page->events.Send(QJsonDocument(state).toJson(QJsonDocument::Compact)))
            lagging << page.key();
    }
    for (const qint64 stream : std::as_const(lagging))
        PageClosed(stream);
}

void ScreenHub::PageClosed(qint64 stream) {
    if (!m_pages.contains(stream))
        return;
    // Taken out first: closing the socket reports back here.
    const Page page = m_pages.take(stream);
    page.events.Close();
    const int left = LiveStreams(page.screen);
    m_log.LogLine(
        QStringLiteral("Ekran sayfasi kapandi: %1 (acik sayfa: %2)").arg(page.screen).arg(left),
        false);
    if (left > 0)
        return;
    // No page is left to confirm a card of this screen.
    for (Wait* wait : std::as_const(m_waits)) {
        if (wait->screen == page.screen)
            wait->loop->quit();
    }
}

void ScreenHub::Sweep() {
    const QDateTime silentSince = QDateTime::currentDateTime().addMSecs(-kStaleMs);
    QList<qint64> silent;
    for (auto page = m_pages.begin(); page != m_pages.end(); ++page) {
        if (page->lastSeen < silentSince || !page->events.Ping())
            silent << page.key();
    }
    for (const qint64 stream : std::as_const(silent))
        PageClosed(stream);
    if (m_notice && m_notice() != m_noticeShown) {
        QStringList screens;
        for (const Page& page : std::as_const(m_pages)) {
            if (!screens.contains(page.screen))
                screens << page.screen;
        }
        for (const QString& screen : std::as_const(screens))
            Push(screen);
    }
    if (m_pages.isEmpty())
        m_sweep.stop();
}
