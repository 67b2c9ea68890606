#pragma once

#include "log/DiagnosticLog.h"
#include "print/DateTimePlaceholders.h"
#include "print/PrintSettings.h"
#include "print/PrinterSource.h"
#include "print/Ticket.h"
#include "print/TicketPrinter.h"

#include <QHash>
#include <QString>
#include <functional>

// Prints tickets on installed printers: looks the path up, renders the ticket, logs it and
// gives the spooler a second before the next job (a printer that confirms each ticket itself
// needs none). A printer's warning is logged once, until it clears; a fault it reports after
// taking a whole ticket is logged, and the ticket stays printed. A kitchen screen's ticket is
// handed to the screens as its lines, and printed once one of them drew it.
class PrintEngine : public TicketPrinter {
public:
    using Pause = std::function<void(int milliseconds)>;
    using Clock = DateTimeSource;

    static constexpr int kPauseAfterTicket = 1000;

    // The bill number is read at each print, for the log line of a missing printer: the
    // server binds it to the AdisyonID of the current job record.
    PrintEngine(const QString& billNumber, const PrintSettings& settings, DiagnosticLog& log,
                PrinterSource& printers, Pause pause = SleepPause());

    void setClock(Clock clock) { m_clock = std::move(clock); }

    PrintOutcome PrintTicket(const QString& path, const Ticket& ticket) override;
    QString CheckPrinter(const QString& path) override;
    // What the printer warned of with its last ticket ("Kagit azaliyor", say), until a ticket
    // comes out without a warning.
    QString WarningAt(const QString& path) const { return m_warned.value(path); }

    static Pause SleepPause();

private:
    // Throws PrinterError when no screen drew the ticket.
    void ShowOnScreen(const QString& printer, const Ticket& ticket);
    void NoteWarning(const QString& path, const QString& warning);

    const QString& m_billNumber;
    const PrintSettings m_settings;
    DiagnosticLog& m_log;
    PrinterSource& m_printers;
    Pause m_pause;
    Clock m_clock;
    QHash<QString, QString> m_warned; // path: the warning logged last
};
