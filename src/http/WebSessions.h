#pragma once

#include <QByteArray>
#include <QDateTime>
#include <QDeadlineTimer>
#include <QHash>
#include <QHostAddress>
#include <QList>
#include <QString>
#include <functional>

// Who may use the status page: the sessions a browser holds by cookie, each with the token its
// forms must send back, and the password that opens one once it is set. A password shorter
// than kMinPasswordLength is no password: guessed too soon, it would open the page to the
// network.
//
// A failed login counts against its address (an IPv6 host by its /64, since it may use any
// address in it). Beyond kFreeFailures each failure makes the address wait, 1, 2, 4 ... up to
// kMaxSlowSeconds; from kLockoutFailures on it is locked out for kMaxLockoutSeconds. Once all
// addresses together fail beyond kServerFailuresAllowed, an address that fails waits at once,
// as long as the server's own wait, which doubles with each further failure up to the lockout,
// so a network of hosts guesses little faster than one. The server's wait is never asked
// before a password: an address that has not failed always gets its right password in. This
// machine's own addresses wait at most kMaxLocalWaitSeconds: whoever sits at the server is
// never locked out. A success clears its address; failures are forgotten
// kForgetFailuresMinutes after the last one.
//
// A session handed out but never sent back, as an image on a foreign page would cause, only
// ever displaces another such session; at the cap the least recently used confirmed session
// goes. Reprints, test pages and retries are rationed per session and for the whole server.
class WebSessions {
public:
    using Clock = std::function<QDateTime()>;

    static constexpr int kMinPasswordLength = 8;
    static constexpr int kMaxSessions = 64;
    static constexpr int kMaxUnconfirmedSessions = 16;
    static constexpr int kIdleHours = 12;
    static constexpr int kFreeFailures = 3;
    static constexpr int kMaxSlowSeconds = 60;
    static constexpr int kLockoutFailures = 10;
    static constexpr int kMaxLockoutSeconds = 15 * 60;
    static constexpr int kMaxLocalWaitSeconds = 5;
    static constexpr int kMaxFailureRecords = 1024;
    static constexpr int kForgetFailuresMinutes = 60;
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
    // Compares in constant time; a failure counts against the address and the server.
    bool TryPassword(const QHostAddress& address, const QString& given);
    // Another secret of the page (a kitchen screen's link key, the key of /metrics), under the
    // same waits as the password; an empty expected key matches nothing.
    bool TryKey(const QHostAddress& address, const QByteArray& expected, const QByteArray& given);

    // Seconds before the session may act again (print, retry); when 0, this action is counted.
    qint64 TakeAction(const QByteArray& id);

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
    // The server's wait after its failures so far: 0 within its allowance.
    int ServerWait() const;
    bool IsThisMachine(const QHostAddress& address);
    static qint64 SecondsUntil(const QDateTime& now, const QDateTime& time);

    QString m_password;
    Clock m_clock;
    QHash<QByteArray, Session> m_sessions;
    QHash<QString, Failures> m_failures; // by address key
    // Read again at most once a minute: a failed login must not cost a walk over the network
    // interfaces each time.
    QList<QHostAddress> m_ownAddresses;
    QDeadlineTimer m_ownAddressesRead;
    Failures m_serverFailures;
    QHash<QByteArray, QList<QDateTime>> m_actions; // session id: its actions of the last minute
    QList<QDateTime> m_serverActions;
};

// Whether two texts are equal, in a time that does not depend on where they differ.
bool ConstantTimeEquals(const QByteArray& a, const QByteArray& b);
