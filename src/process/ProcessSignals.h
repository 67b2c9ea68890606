#pragma once

#include <QObject>

class QSocketNotifier;

// Turns SIGTERM and SIGINT into a close request and SIGHUP (a service reload) into a retry of
// the set-aside jobs, on the event loop. The handler itself only writes the signal's number to
// a socket pair; the notifier reads it on the loop, where acting is safe. One instance at a
// time; the previous handlers come back when it is destroyed.
class ProcessSignals : public QObject {
    Q_OBJECT
public:
    explicit ProcessSignals(QObject* parent = nullptr);
    ~ProcessSignals() override;

signals:
    void terminationRequested();
    void retryRequested();

private:
    void drain();

    QSocketNotifier* m_notifier = nullptr;
};
