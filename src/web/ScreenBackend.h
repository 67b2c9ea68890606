#pragma once

#include "print/ScreenAddress.h"

#include <QByteArray>
#include <QList>
#include <QString>
#include <optional>

class QTcpSocket;

// What the kitchen screens' pages ask of the running server, on its own thread. Names follow
// the printer-name rule, and every action touches only the named screen's cards.
class ScreenBackend {
public:
    virtual ~ScreenBackend() = default;

    // The screen of that name in A_Yazicilar, or nothing.
    virtual std::optional<ScreenAddress> FindScreen(const QString& name) = 0;
    // The secret of the screen's link; empty when it cannot be read.
    virtual QByteArray Key(const QString& name) = 0;
    // Takes the connection over as the screen's event stream: its cards now and at each change.
    virtual void Stream(const QString& name, QTcpSocket* socket) = 0;
    // The page of that stream drew these cards; it says so every few seconds, cards or not.
    virtual void Drawn(const QString& name, qint64 stream, const QList<qint64>& cards) = 0;
    // Each false when the card is no open card of the screen or the change was not stored.
    virtual bool Bump(const QString& name, qint64 card) = 0;
    virtual bool Recall(const QString& name) = 0;
    virtual bool CrossOff(const QString& name, qint64 card, int item) = 0;
};
