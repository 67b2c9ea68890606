#pragma once

#include <QString>

class DatabaseSession;
class Error;
class OperatorReport;

// Tells a lost database connection from an ordinary failure, and brings the connection back
// at a later tick instead of failing every tick until someone restarts the server. The loss
// and the return are reported once each, as the fault DatabaseLost (status/OperatorReport.h).
class ConnectionRecovery {
public:
    ConnectionRecovery(DatabaseSession& C, OperatorReport& report);

    bool isLost() const;

    // After a failed tick: whether the connection is gone (and then it is reported). The
    // failure's kind tells where it can; otherwise the database is asked whether it answers.
    bool LostAfterFailure(const Error& error);
    // Closes and reopens C with its own target; false while the database stays out of reach.
    bool Reconnect();

private:
    bool Gone(const Error& error);
    bool Answers();

    DatabaseSession& C;
    OperatorReport& m_report;
};
