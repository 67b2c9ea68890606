#pragma once

#include <QDateTime>
#include <QString>

// One message to the notification address, in ASCII Turkish as the log writes: a phone shows
// the title, the text below it says why and where.
struct Notification {
    QString event; // "printer_failing", "paper_low", "database_lost", "job_set_aside",
                   // "takeover" or "test"
    QString phase; // "started", "ended" or "happened"
    QString subject;
    QString title;
    QString text;
    QString computer;
    QString folder;
    QDateTime time;
    bool urgent = false; // a fault that starts: high priority, a warning sign
};
