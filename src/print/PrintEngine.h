#pragma once

#include "log/DiagnosticLog.h"
#include "print/DateTimePlaceholders.h"
#include "print/PrintSettings.h"
#include "print/PrinterSource.h"
#include "print/Ticket.h"
#include "print/TicketPrinter.h"
#include "queue/JobRecord.h"

#include <QString>
#include <functional>

// Prints tickets on installed printers: looks the path up, renders the ticket, logs it and
// gives the spooler a second before the next job.
class PrintEngine : public TicketPrinter {
public:
    using Pause = std::function<void(int milliseconds)>;
    using Clock = DateTimeSource;

    static constexpr int kPauseAfterTicket = 1000;

    // The job record is read at each print for its bill number.
    PrintEngine(const TYazimIsi& job, const PrintSettings& settings, DiagnosticLog& log,
                PrinterSource& printers, Pause pause = SleepPause());

    void setClock(Clock clock) { m_clock = std::move(clock); }

    void PrintTicket(const QString& path, const Ticket& ticket) override;

    static Pause SleepPause();

private:
    // The first installed printer whose name equals the path in any letter case, else the
    // path itself when it names a virtual printer, else the empty text.
    QString FindInstalledPrinter(const QString& path);

    const TYazimIsi& m_job;
    const PrintSettings m_settings;
    DiagnosticLog& m_log;
    PrinterSource& m_printers;
    Pause m_pause;
    Clock m_clock;
};
