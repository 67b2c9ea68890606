#pragma once

#include "print/TicketPrinter.h"

#include <QHash>
#include <QList>
#include <QString>
#include <functional>

// Keeps each ticket with its path instead of printing it. Told to, it fails on a path the
// way a broken printer does, with a PrinterError, a given number of times (tickets and checks
// alike), or lets a test act right after a ticket has come out.
class CapturingTicketPrinter : public TicketPrinter {
public:
    struct Printed {
        QString path;
        Ticket ticket;
    };

    PrintOutcome PrintTicket(const QString& path, const Ticket& ticket) override;
    QString CheckPrinter(const QString& path) override;

    void FailOn(const QString& path, int times = 1) { m_failures[path] = times; }
    void setAfterPrint(std::function<void(const Printed&)> afterPrint) {
        m_afterPrint = std::move(afterPrint);
    }
    const QList<Printed>& printed() const { return m_printed; }
    QStringList paths() const;
    QList<Ticket> TicketsFor(const QString& path) const;

private:
    QList<Printed> m_printed;
    QHash<QString, int> m_failures;
    std::function<void(const Printed&)> m_afterPrint;
};
