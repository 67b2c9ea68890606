#pragma once

#include <QByteArray>
#include <QDateTime>
#include <QHash>
#include <QHostAddress>
#include <QString>

// Who may use the status page: the sessions a browser holds by cookie, each with the token its
// forms must send back, and the password that opens one once it is set. Failed logins from an
// address make it wait, longer after each failure.
class WebSessions {
public:
    static constexpr int kMaxSessions = 64;
    static constexpr int kIdleHours = 12;
    static constexpr int kMaxLockoutSeconds = 60;

    explicit WebSessions(QString password);

    bool passwordRequired() const { return !m_password.isEmpty(); }

    // A new session's id; the oldest session gives way beyond the limit.
    QByteArray Open();
    void Close(const QByteArray& id);
    // The session's form token, or empty when the id names no live session.
    QByteArray TokenOf(const QByteArray& id);
    bool TokenMatches(const QByteArray& id, const QByteArray& token);

    // Seconds the address must still wait before it may try a password again.
    qint64 LoginWait(const QHostAddress& address) const;
    // Compares in constant time; a failure makes the address wait.
    bool TryPassword(const QHostAddress& address, const QString& given);

private:
    struct Session {
        QByteArray token;
        QDateTime lastSeen;
    };
    struct Failures {
        int count = 0;
        QDateTime retryAfter;
    };

    void DropIdle();

    QString m_password;
    QHash<QByteArray, Session> m_sessions;
    QHash<QString, Failures> m_failures;
};

// Whether two texts are equal, in a time that does not depend on where they differ.
bool ConstantTimeEquals(const QByteArray& a, const QByteArray& b);
