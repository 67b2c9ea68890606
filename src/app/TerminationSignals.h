#pragma once

#include <QObject>

class QSocketNotifier;

// Turns SIGTERM and SIGINT into a signal on the event loop. The handler itself only writes a
// byte to a socket pair; the notifier reads it on the loop, where closing is safe. One
// instance at a time; the previous handlers come back when it is destroyed.
class TerminationSignals : public QObject {
    Q_OBJECT
public:
    explicit TerminationSignals(QObject* parent = nullptr);
    ~TerminationSignals() override;

signals:
    void terminationRequested();

private:
    void drain();

    QSocketNotifier* m_notifier = nullptr;
};
