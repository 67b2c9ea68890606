#include "web/WebSessions.h"

#include <QCryptographicHash>
#include <QRandomGenerator>
#include <algorithm>

namespace {

QByteArray RandomHex() {
    quint32 words[8];
    QRandomGenerator::system()->fillRange(words);
    return QByteArray(reinterpret_cast<const char*>(words), sizeof words).toHex();
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
    : m_password(std::move(password)) {}

QByteArray WebSessions::Open() {
    DropIdle();
    if (m_sessions.size() >= kMaxSessions) {
        const auto oldest = std::min_element(
            m_sessions.begin(), m_sessions.end(),
            [](const Session& a, const Session& b) { return a.lastSeen < b.lastSeen; });
        m_sessions.erase(oldest);
    }
    const QByteArray id = RandomHex();
    m_sessions.insert(id, {RandomHex(), QDateTime::currentDateTimeUtc()});
    return id;
}

void WebSessions::Close(const QByteArray& id) {
    m_sessions.remove(id);
}

QByteArray WebSessions::TokenOf(const QByteArray& id) {
    DropIdle();
    const auto session = m_sessions.find(id);
    if (session == m_sessions.end())
        return QByteArray();
    session->lastSeen = QDateTime::currentDateTimeUtc();
    return session->token;
}

bool WebSessions::TokenMatches(const QByteArray& id, const QByteArray& token) {
    const QByteArray expected = TokenOf(id);
    return !expected.isEmpty() && ConstantTimeEquals(expected, token);
}

qint64 WebSessions::LoginWait(const QHostAddress& address) const {
    const auto failures = m_failures.constFind(address.toString());
    if (failures == m_failures.constEnd())
        return 0;
    const qint64 milliseconds = QDateTime::currentDateTimeUtc().msecsTo(failures->retryAfter);
    return milliseconds > 0 ? (milliseconds + 999) / 1000 : 0;
}

bool WebSessions::TryPassword(const QHostAddress& address, const QString& given) {
    if (ConstantTimeEquals(m_password.toUtf8(), given.toUtf8())) {
        m_failures.remove(address.toString());
        return true;
    }
    if (m_failures.size() >= kMaxSessions * 16)
        m_failures.clear();
    Failures& failures = m_failures[address.toString()];
    ++failures.count;
    const int wait = std::min(kMaxLockoutSeconds, 1 << std::min(failures.count - 1, 6));
    failures.retryAfter = QDateTime::currentDateTimeUtc().addSecs(wait);
    return false;
}

void WebSessions::DropIdle() {
    const QDateTime limit = QDateTime::currentDateTimeUtc().addSecs(-kIdleHours * 3600);
    m_sessions.removeIf([&limit](const auto& session) { return session.value().lastSeen < limit; });
}
