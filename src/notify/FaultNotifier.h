#pragma once

#include "status/OperatorReport.h"

#include <QDateTime>
#include <QHash>
#include <QString>
#include <QTimer>
#include <functional>

struct Notification;

// Decides which of the report's faults reach the notification address, and when: a printer that
// fails or runs low on paper, the lost database and a job set aside are told once they have
// lasted the delay, and their end only when their start was told, so one that ends sooner is
// never told; a takeover is told at once; the report's other faults stay in the log. Of each
// kind, subject and phase at most one message goes out in kRepeatMinutes; one held back by that
// goes out when the time is up, if it is still true then, so the last word the address has is
// right. A standby tells nothing but its takeover: it checks no printer, and the faults it knew
// of as the active server are forgotten.
class FaultNotifier {
public:
    using Clock = std::function<QDateTime()>;
    using Send = std::function<void(const Notification& notification)>;

    static constexpr int kRepeatMinutes = 10;

    // What a message says of its fault.
    enum class Phase { Started, Ended, Happened };

    // The computer and the folder go into every message.
    FaultNotifier(QString computer, QString folder, Send send);

    void setClock(Clock clock) { m_clock = std::move(clock); }
    void setDelaySeconds(int seconds) { m_delaySeconds = seconds; }
    void setStandby(bool standby);

    void Hear(const FaultEvent& event);
    // Tells what has come due by now; the timer calls it at the next due moment.
    void Review();
    // A message of its own, sent at once whatever else was sent: the status page's test.
    void SendTest();

private:
    struct Fault {
        FaultKind kind;
        QString subject;
        QString detail;
        QDateTime since;
        bool lasts = true; // false once ended
        bool told = false; // the address last heard that it lasts
    };

    // When a message of the kind, subject and phase may go out again.
    QDateTime FreeAt(const QString& key) const;
    void Tell(FaultKind kind, Phase phase, const QString& subject, const QString& detail,
              const QDateTime& since);
    // The text below the title closes with the computer and the folder.
    Notification Message(const QString& event, const QString& phase, const QString& title,
                         const QString& text) const;

    QString m_computer;
    QString m_folder;
    Send m_send;
    Clock m_clock;
    int m_delaySeconds = 60;
    bool m_standby = false;
    QHash<QString, Fault> m_faults;   // by kind and subject
    QHash<QString, QDateTime> m_told; // by kind, subject and phase: the last message
    QTimer m_timer;
};
