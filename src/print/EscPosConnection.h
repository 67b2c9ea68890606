#pragma once

#include "core/Error.h"
#include "print/EscPosAddress.h"

#include <QByteArray>
#include <QDeadlineTimer>
#include <QString>
#include <memory>

// How long the poll tick may wait for an ESC/POS printer, in milliseconds.
struct EscPosTimeouts {
    int connect = 3000; // the host name's lookup and the connection together
    int write = 10000;  // the link taking no byte at all; a slow link takes as long as it needs
    int status = 1000;  // the answer to a status question
};

// The byte stream to one ESC/POS printer, over TCP or through a device file, for one ticket.
// Every wait ends at its deadline, so a silent printer never holds the tick longer. Failures
// are PrinterErrors that name the printer with the reason the operator reads.
class EscPosConnection {
public:
    // Connects within the connect timeout.
    static std::unique_ptr<EscPosConnection> Open(const EscPosAddress& address,
                                                  const EscPosTimeouts& timeouts);
    // "REASON: PATH (DETAIL)", the detail left out when empty.
    static PrinterError Failure(const QString& reason, const QString& path,
                                const QString& detail = QString());

    virtual ~EscPosConnection() = default;

    // Whether the printer can be asked anything (a Windows device file is written only).
    virtual bool AnswersStatus() const { return true; }
    // Hands every byte to the link and waits until the system has passed them on to the
    // printer, failing only when the link takes no byte for the idle time.
    virtual void Write(const QByteArray& bytes, int idleMilliseconds) = 0;
    // Up to count bytes that arrive before the deadline; fewer when the printer says no more.
    virtual QByteArray Read(int count, QDeadlineTimer deadline) = 0;
    // Drops whatever the printer sent unasked, so the next answer is the one asked for.
    virtual void DropInput() = 0;

protected:
    explicit EscPosConnection(QString path);

    // The link took no byte for the idle time.
    PrinterError TimedOut() const;
    // The link is gone; the system's words for it differ from one try to the next, so they
    // are left out unless asked for, and the same failure is reported once.
    PrinterError Broken(const QString& detail = QString()) const;
    // Milliseconds left, never negative.
    static int Remaining(QDeadlineTimer deadline);
#ifndef Q_OS_WIN
    // Waits until the system's output queue of the descriptor is empty: on a serial port until
    // the last byte is on the wire, on TCP until the printer acknowledged it.
    void Drain(int descriptor, int idleMilliseconds) const;
#endif

    const QString m_path;
};
