#include "http/WebSessions.h"

#include "http/AddressKey.h"

#include <QCryptographicHash>
#include <QRandomGenerator>
#include <algorithm>

namespace {

QByteArray RandomHex() {
    quint32 words[8];
    QRandomGenerator::system()->fillRange(words);
    return QByteArray(reinterpret_cast<const char*>(words), sizeof words).toHex();
}

// Drops the times older than a minute; returns the seconds until the oldest kept one is.
qint64 MinuteWait(QList<QDateTime>& times, const QDateTime& now, int allowed) {
    const QDateTime minuteAgo = now.addSecs(-60);
    times.removeIf([&minuteAgo](const QDateTime& time) { return time <= minuteAgo; });
    if (times.size() < allowed)
        return 0;
    return std::max<qint64>(1, now.secsTo(times.first().addSecs(60)));
}

} // namespace

bool ConstantTimeEquals(const QByteArray& a, const QByteArray& b) {
    // Hashed first, so the length of the secret shows no more than its content.
    const QByteArray x = QCryptographicHash::hash(a, QCryptographicHash::Sha256);
    const QByteArray y = QCryptographicHash::hash(b, QCryptographicHash::Sha256);
    unsigned char difference = 0;
    for (qsizetype i = 0; i < x.size(); ++i)
        difference |= static_cast<unsigned char>(x[i] ^ y[i]);
    return difference == 0;
}

WebSessions::WebSessions(QString password)
    : m_password(password.size() >= kMinPasswordLength ? std::move(password) : QString())
    , m_clock([] { return QDateTime::currentDateTimeUtc(); }) {}

WebSessions::Opened WebSessions::Open() {
    DropIdle();
    const auto unconfirmed = std::count_if(m_sessions.cbegin(), m_sessions.cend(),
                                           [](const Session& s) { return !s.confirmed; });
    // The oldest of the unconfirmed goes first: a visitor who came back keeps the place.
    if (unconfirmed >= kMaxUnconfirmedSessions || m_sessions.size() >= kMaxSessions) {
        const bool amongUnconfirmed = unconfirmed > 0;
        auto oldest = m_sessions.end();
        for (auto it = m_sessions.begin(); it != m_sessions.end(); ++it) {
            if (amongUnconfirmed && it->confirmed)
                continue;
            if (oldest == m_sessions.end() || it->lastSeen < oldest->lastSeen)
                oldest = it;
        }
        m_actions.remove(oldest.key());
        m_sessions.erase(oldest);
    }
    const Opened opened{RandomHex(), RandomHex()};
    m_sessions.insert(opened.id, {opened.token, m_clock(), false});
    return opened;
}

void WebSessions::Close(const QByteArray& id) {
    m_sessions.remove(id);
    m_actions.remove(id);
}

QByteArray WebSessions::TokenOf(const QByteArray& id) {
    DropIdle();
    const auto session = m_sessions.find(id);
    if (session == m_sessions.end())
        return QByteArray();
    session->lastSeen = m_clock();
    session->confirmed = true;
    return session->token;
}

bool WebSessions::TokenMatches(const QByteArray& id, const QByteArray& token) {
    const QByteArray expected = TokenOf(id);
    return !expected.isEmpty() && ConstantTimeEquals(expected, token);
}

qint64 WebSessions::LoginWait(const QHostAddress& address) {
    ForgetFailures();
    return SecondsUntil(m_clock(), m_failures.value(AddressKey(address)).retryAfter);
}

bool WebSessions::TryPassword(const QHostAddress& address, const QString& given) {
    return TryKey(address, m_password.toUtf8(), given.toUtf8());
}

bool WebSessions::TryKey(const QHostAddress& address, const QByteArray& expected,
                         const QByteArray& given) {
    const QString key = AddressKey(address);
    if (!expected.isEmpty() && ConstantTimeEquals(expected, given)) {
        m_failures.remove(key);
        return true;
    }
    ForgetFailures();
    if (!m_failures.contains(key) && m_failures.size() >= kMaxFailureRecords) {
        m_failures.erase(
            std::min_element(m_failures.begin(), m_failures.end(),
                             [](const Failures& a, const Failures& b) { return a.last < b.last; }));
    }
    const QDateTime now = m_clock();
    ++m_serverFailures.count;
    m_serverFailures.last = now;
    Failures& failures = m_failures[key];
    ++failures.count;
    failures.last = now;
    int wait = 0;
    if (failures.count >= kLockoutFailures)
        wait = kMaxLockoutSeconds;
    else if (failures.count > kFreeFailures)
        wait = std::min(kMaxSlowSeconds, 1 << (failures.count - kFreeFailures - 1));
    wait = std::max(wait, ServerWait());
    if (IsThisMachine(address))
        wait = std::min(wait, kMaxLocalWaitSeconds);
    failures.retryAfter = now.addSecs(wait);
    return false;
}

qint64 WebSessions::TakeAction(const QByteArray& id) {
    const QDateTime now = m_clock();
    QList<QDateTime>& own = m_actions[id];
    const qint64 wait = std::max(MinuteWait(own, now, kActionsPerMinute),
                                 MinuteWait(m_serverActions, now, kServerActionsPerMinute));
    if (wait == 0) {
        own.append(now);
        m_serverActions.append(now);
    }
    return wait;
}

void WebSessions::DropIdle() {
    const QDateTime limit = m_clock().addSecs(-kIdleHours * 3600);
    m_sessions.removeIf([&limit](const auto& session) { return session.value().lastSeen < limit; });
    m_actions.removeIf([this](const auto& actions) { return !m_sessions.contains(actions.key()); });
}

void WebSessions::ForgetFailures() {
    const QDateTime limit = m_clock().addSecs(-kForgetFailuresMinutes * 60);
    m_failures.removeIf([&limit](const auto& failures) { return failures.value().last < limit; });
    if (m_serverFailures.last < limit)
        m_serverFailures = Failures();
}

qint64 WebSessions::SecondsUntil(const QDateTime& now, const QDateTime& time) {
    if (!time.isValid())
        return 0;
    const qint64 milliseconds = now.msecsTo(time);
    return milliseconds > 0 ? (milliseconds + 999) / 1000 : 0;
}

bool WebSessions::IsThisMachine(const QHostAddress& address) {
    if (m_ownAddressesRead.hasExpired()) {
        m_ownAddresses = ThisMachinesAddresses();
        m_ownAddressesRead.setRemainingTime(60 * 1000);
    }
    return std::any_of(m_ownAddresses.cbegin(), m_ownAddresses.cend(),
                       [&address](const QHostAddress& own) {
                           return own.isEqual(address, QHostAddress::TolerantConversion);
                       });
}

// Beyond the failures allowed, each one doubles the wait up to the lockout.
int WebSessions::ServerWait() const {
    const int beyond = m_serverFailures.count - kServerFailuresAllowed;
    return beyond > 0 ? std::min(kMaxLockoutSeconds, 1 << std::min(beyond - 1, 10)) : 0;
}
