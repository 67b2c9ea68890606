#include "queue/ConnectionRecovery.h"

#include "core/Error.h"
#include "db/DatabaseSession.h"
#include "status/OperatorReport.h"

ConnectionRecovery::ConnectionRecovery(DatabaseSession& session, OperatorReport& report)
    : m_session(session)
    , m_report(report) {}

bool ConnectionRecovery::isLost() const {
    return m_report.isOn(FaultKind::DatabaseLost);
}

bool ConnectionRecovery::LostAfterFailure(const Error& error) {
    if (!Gone(error))
        return false;
    m_report.Started(FaultKind::DatabaseLost, QString(),
                     QStringLiteral("Veritabani baglantisi koptu -- Hata: ") + error.message());
    return true;
}

bool ConnectionRecovery::Gone(const Error& error) {
    switch (error.kind()) {
    case ErrorKind::ConnectionLost:
        return true;
    case ErrorKind::DiskFull:
    case ErrorKind::AccessDenied:
    case ErrorKind::TimedOut:
        return false; // the database answered
    case ErrorKind::Refused:
    case ErrorKind::Other:
        break;
    }
    return !Answers();
}

bool ConnectionRecovery::Reconnect() {
    const ConnectionTarget target = m_session.target();
    m_session.Close();
    try {
        m_session.Open(target);
    } catch (const DatabaseError&) {
        return false; // still out of reach: already reported when it went
    }
    if (!Answers())
        return false;
    ++m_reconnections;
    m_report.Ended(FaultKind::DatabaseLost, QString(),
                   QStringLiteral("Veritabani baglantisi yeniden kuruldu"));
    return true;
}

bool ConnectionRecovery::Answers() {
    if (!m_session.isOpen())
        return false;
    try {
        m_session.Select(QStringLiteral("SELECT 1"));
        return true;
    } catch (const DatabaseError&) {
        return false;
    }
}
