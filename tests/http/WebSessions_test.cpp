#include "http/WebSessions.h"

#include <gtest/gtest.h>

namespace {

constexpr int kAtWaitEnd = -1;
constexpr const char* kGuest = "10.0.0.5";
constexpr const char* kManager = "10.0.0.9";
constexpr const char* kServerPc = "127.0.0.1";

// Tries as the login page makes them: refused unasked while the address waits.
struct Try {
    int laterSeconds; // before each try; kAtWaitEnd: exactly when the address may try again
    const char* from; // nullptr: each try from an address of its own
    bool right;
    int times;
    bool admitted;   // the last try's
    qint64 waitThen; // the address's wait after the last try
};

struct LoginCase {
    const char* name;
    std::vector<Try> tries;
};

TEST(WebSessions, TheRightPasswordGetsInWhateverGuestsDo) {
    const QString password = QStringLiteral("dogru-sifre");
    const int lockout = WebSessions::kMaxLockoutSeconds;
    const std::vector<LoginCase> cases{
        {"typos are free, then each failure doubles the wait",
         {{0, kGuest, false, 3, false, 0},
          {0, kGuest, false, 1, false, 1},
          {kAtWaitEnd, kGuest, false, 1, false, 2},
          {kAtWaitEnd, kGuest, false, 1, false, 4}}},
        {"a lockout ends by itself",
         {{kAtWaitEnd, kGuest, false, WebSessions::kLockoutFailures, false, lockout},
          {lockout - 1, kGuest, true, 1, false, 1},
          {1, kGuest, true, 1, true, 0}}},
        {"a success clears the failures",
         {{kAtWaitEnd, kGuest, false, 5, false, 2},
          {kAtWaitEnd, kGuest, true, 1, true, 0},
          {0, kGuest, false, 1, false, 0}}},
        {"a guest guessing at the edge of the wait never keeps the right password out",
         {{kAtWaitEnd, kGuest, false, 40, false, lockout},
          {0, kManager, true, 1, true, 0},
          {0, kServerPc, true, 1, true, 0},
          {7, kGuest, false, 1, false, lockout - 7}}},
        {"failures of the whole network make each new failing address wait at once",
         {{0, nullptr, false, WebSessions::kServerFailuresAllowed, false, 0},
          {0, nullptr, false, 1, false, 1},
          {0, nullptr, false, 5, false, 32},
          {0, kManager, true, 1, true, 0}}},
        {"the server's own machine is never locked out",
         {{kAtWaitEnd, kServerPc, false, 30, false, WebSessions::kMaxLocalWaitSeconds},
          {WebSessions::kMaxLocalWaitSeconds, kServerPc, true, 1, true, 0}}},
        {"at the cap the coldest failure record goes",
         {{kAtWaitEnd, kGuest, false, WebSessions::kLockoutFailures, false, lockout},
          {1, nullptr, false, WebSessions::kMaxFailureRecords, false, lockout},
          {0, kGuest, true, 1, true, 0}}},
    };
    for (const LoginCase& row : cases) {
        SCOPED_TRACE(row.name);
        WebSessions sessions(password);
        QDateTime now = QDateTime::currentDateTimeUtc();
        sessions.setClock([&now] { return now; });
        int spread = 0;
        for (const Try& attempt : row.tries) {
            QHostAddress from;
            bool admitted = false;
            for (int i = 0; i < attempt.times; ++i, ++spread) {
                from = QHostAddress(
                    attempt.from
                        ? QString::fromLatin1(attempt.from)
                        : QStringLiteral("10.1.%1.%2").arg(spread / 250).arg(spread % 250 + 1));
                now = now.addSecs(attempt.laterSeconds == kAtWaitEnd ? sessions.LoginWait(from)
                                                                     : attempt.laterSeconds);
                admitted =
                    sessions.LoginWait(from) == 0 &&
                    sessions.TryPassword(from, attempt.right ? password : QStringLiteral("tahmin"));
            }
            EXPECT_EQ(admitted, attempt.admitted) << from.toString().toStdString();
            EXPECT_EQ(sessions.LoginWait(from), attempt.waitThen);
        }
    }
}

TEST(WebSessions, ShortPasswordsOpenNothingAndConfirmedSessionsOutliveUnconfirmedOnes) {
    EXPECT_FALSE(WebSessions(QStringLiteral("1234567")).passwordRequired());
    WebSessions sessions(QStringLiteral("12345678"));
    EXPECT_TRUE(sessions.passwordRequired());
    const WebSessions::Opened manager = sessions.Open();
    ASSERT_EQ(sessions.TokenOf(manager.id), manager.token);
    for (int i = 0; i < 2 * WebSessions::kMaxSessions; ++i)
        sessions.Open();
    EXPECT_EQ(sessions.TokenOf(manager.id), manager.token);
}

} // namespace
