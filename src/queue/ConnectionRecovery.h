#pragma once

#include <QString>

class DatabaseSession;
class Error;
class OperatorReport;

// The one owner of reconnecting the server's connection, for whoever finds it gone (the poll
// tick, the lease): tells a lost connection from an ordinary failure, and brings it back at a
// later try instead of failing every tick until someone restarts the server. The loss and the
// return are reported once each, as the fault DatabaseLost (status/OperatorReport.h).
class ConnectionRecovery {
public:
    ConnectionRecovery(DatabaseSession& session, OperatorReport& report);

    bool isLost() const;
    // Counts the reconnections: results read before the last one are gone with their connection.
    int reconnections() const { return m_reconnections; }

    // After a failure: whether the connection is gone (and then it is reported). The failure's
    // kind tells where it can; otherwise the database is asked whether it answers.
    bool LostAfterFailure(const Error& error);
    // Closes and reopens the session with its own target; false while the database stays out of
    // reach.
    bool Reconnect();

private:
    bool Gone(const Error& error);
    bool Answers();

    DatabaseSession& m_session;
    OperatorReport& m_report;
    int m_reconnections = 0;
};
