#pragma once

#include <QByteArray>
#include <QDateTime>
#include <QHash>
#include <QHostAddress>
#include <QList>
#include <QString>
#include <functional>

// Who may use the status page: the sessions a browser holds by cookie, each with the token its
// forms must send back, and the password that opens one once it is set.
//
// Failed logins make their address wait, longer after each failure; an IPv6 host counts by its
// /64, since it may use any address in it. Failures from all addresses together make every
// address wait too, at most kMaxLockoutSeconds, so a network of hosts guesses no faster than
// one. A session handed out but never sent back, as an image on a foreign page would cause,
// only ever displaces another such session. Reprints and test pages are rationed per session
// and for the whole server.
class WebSessions {
public:
    using Clock = std::function<QDateTime()>;

    static constexpr int kMaxSessions = 64;
    static constexpr int kMaxUnconfirmedSessions = 16;
    static constexpr int kIdleHours = 12;
    static constexpr int kMaxLockoutSeconds = 60;
    static constexpr int kMaxFailureRecords = 1024;
    static constexpr int kForgetFailuresMinutes = 15;
    static constexpr int kServerFailuresAllowed = 10;
    static constexpr int kActionsPerMinute = 10;
    static constexpr int kServerActionsPerMinute = 30;

    explicit WebSessions(QString password);

    void setClock(Clock clock) { m_clock = std::move(clock); }
    bool passwordRequired() const { return !m_password.isEmpty(); }

    struct Opened {
        QByteArray id;
        QByteArray token;
    };

    // A new session, unconfirmed until its browser sends its id back.
    Opened Open();
    void Close(const QByteArray& id);
    // The form token of the session the browser sent, which confirms it; empty when the id
    // names no live session.
    QByteArray TokenOf(const QByteArray& id);
    bool TokenMatches(const QByteArray& id, const QByteArray& token);

    // Seconds the address must still wait before it may try a password again.
    qint64 LoginWait(const QHostAddress& address);
    // Compares in constant time; a failure makes the address and the server wait.
    bool TryPassword(const QHostAddress& address, const QString& given);
    // Another secret of the page (a kitchen screen's link key, the key of /metrics), under the
    // same waits as the password; an empty expected key matches nothing.
    bool TryKey(const QHostAddress& address, const QByteArray& expected, const QByteArray& given);

    // Seconds before the session may print again; when 0, this print is counted.
    qint64 TakePrint(const QByteArray& id);

private:
    struct Session {
        QByteArray token;
        QDateTime lastSeen;
        bool confirmed = false;
    };
    struct Failures {
        int count = 0;
        QDateTime last;
        QDateTime retryAfter;
    };

    void DropIdle();
    void ForgetFailures();
    static qint64 SecondsUntil(const QDateTime& now, const QDateTime& time);
    static void Fail(Failures& failures, int allowed, const QDateTime& now);

    QString m_password;
    Clock m_clock;
    QHash<QByteArray, Session> m_sessions;
    QHash<QString, Failures> m_failures; // by address key
    Failures m_serverFailures;
    QHash<QByteArray, QList<QDateTime>> m_prints; // session id: its prints of the last minute
    QList<QDateTime> m_serverPrints;
};

// Whether two texts are equal, in a time that does not depend on where they differ.
bool ConstantTimeEquals(const QByteArray& a, const QByteArray& b);
