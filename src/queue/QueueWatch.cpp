#include "queue/QueueWatch.h"

#include "core/Error.h"
#include "db/DatabaseSession.h"
#include "queue/QueueStatements.h"
#include "status/OperatorReport.h"

QueueWatch::QueueWatch(DatabaseSession& session, OperatorReport& report, PauseOf pauseOf)
    : m_session(session)
    , m_report(report)
    , m_pauseOf(std::move(pauseOf)) {
    connect(&m_timer, &QTimer::timeout, this, &QueueWatch::Check);
}

void QueueWatch::start() {
    if (m_interval <= 0)
        return;
    m_answer.clear();
    m_timer.start(m_interval);
}

void QueueWatch::stop() {
    m_timer.stop();
}

void QueueWatch::Check() {
    switch (m_pauseOf()) {
    case Pause::Busy:
        return; // the answer is kept: what a tick does not see is seen after it
    case Pause::ConnectionLost:
        m_answer.clear(); // a new connection counts from its own start
        return;
    case Pause::None:
        break;
    }
    QVariantList answer;
    try {
        const RecordSet rows = m_session.Select(QueueChangeStatement(m_session.product()));
        for (const QString& column : rows.columns())
            answer << rows.value(column);
    } catch (const Error& error) {
        m_answer.clear();
        // The ticks go on at their interval and report a lost connection themselves.
        m_report.Started(FaultKind::QueueCheckFailing, QString(),
                         QStringLiteral("Yeni is kontrolu yapilamadi, kuyruk calisma araliginda "
                                        "okunuyor -- Hata: ") +
                             error.message());
        return;
    }
    m_report.Ended(FaultKind::QueueCheckFailing, QString());
    if (answer == m_answer)
        return;
    m_answer = answer;
    emit changed();
}
