#pragma once

#include <QObject>
#include <QString>
#include <QTimer>
#include <QVariant>
#include <functional>

class DatabaseSession;
class OperatorReport;

// Between the poll ticks, asks the database one cheap question whose answer changes when a job
// may have been queued, and asks for a tick at once when it does: a new order reaches its
// printer within a check, not a poll interval. The ticks stay the fallback for everything else.
class QueueWatch : public QObject {
    Q_OBJECT
public:
    // Why the question may not be asked now: a tick runs, or the ticks have the connection
    // down (they bring it back).
    enum class Pause { None, Busy, ConnectionLost };
    using PauseOf = std::function<Pause()>;

    // A check that cannot ask is reported, once until one asks again.
    QueueWatch(DatabaseSession& session, OperatorReport& report, PauseOf pauseOf);

    // Milliseconds between the checks; 0 keeps the watch off.
    void setInterval(int milliseconds) { m_interval = milliseconds; }
    int interval() const { return m_interval; }
    void start();
    void stop();
    bool isActive() const { return m_timer.isActive(); }

    // One check now, as the timer makes it.
    void Check();

signals:
    // The answer changed, or is asked for the first time since the watch started or since the
    // connection came back: a tick is due.
    void changed();

private:
    DatabaseSession& m_session;
    OperatorReport& m_report;
    PauseOf m_pauseOf;
    QTimer m_timer;
    int m_interval = 0;
    QVariantList m_answer; // empty while no answer is known
};
