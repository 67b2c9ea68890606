#include "metrics/TicketMetrics.h"

#include "metrics/PrometheusText.h"
#include "print/PrinterNames.h"

#include <algorithm>

const QList<double> TicketMetrics::kOrderToPaperBounds{0.1, 0.25, 0.5, 1, 2.5, 5, 10, 30, 60};

void TicketMetrics::Printed(const QString& printer, std::optional<double> orderToPaperSeconds) {
    Printer& counted = At(printer);
    ++counted.printed;
    if (orderToPaperSeconds)
        counted.orderToPaper.Observe(std::max(0.0, *orderToPaperSeconds));
}

void TicketMetrics::Failed(const QString& printer, QLatin1String kind) {
    auto& failures = At(printer).failures;
    const auto found = std::find_if(failures.begin(), failures.end(),
                                    [kind](const auto& counted) { return counted.first == kind; });
    if (found == failures.end())
        failures.append({kind, 1});
    else
        ++found->second;
}

void TicketMetrics::Write(PrometheusText& text) const {
    const QLatin1String printed("velmora_tickets_printed_total");
    text.Family(printed, QLatin1String("counter"),
                QLatin1String("Tickets printed since the server started, by logical printer."));
    for (const Printer& printer : m_printers)
        text.Sample(printed, {{QLatin1String("printer"), printer.name}},
                    static_cast<double>(printer.printed));

    const QLatin1String failures("velmora_ticket_failures_total");
    text.Family(failures, QLatin1String("counter"),
                QLatin1String("Tickets a printer failed to print, by logical printer and kind of "
                              "failure."));
    for (const Printer& printer : m_printers) {
        for (const auto& [kind, count] : printer.failures)
            text.Sample(failures,
                        {{QLatin1String("printer"), printer.name},
                         {QLatin1String("reason"), QString(kind)}},
                        static_cast<double>(count));
    }

    const QLatin1String orderToPaper("velmora_order_to_paper_seconds");
    text.Family(orderToPaper, QLatin1String("histogram"),
                QLatin1String("Seconds from a job's first sighting in the queue to its ticket "
                              "on paper, by logical printer."));
    for (const Printer& printer : m_printers) {
        if (printer.orderToPaper.count() > 0)
            text.Histogram(orderToPaper, {{QLatin1String("printer"), printer.name}},
                           printer.orderToPaper);
    }
}

TicketMetrics::Printer& TicketMetrics::At(const QString& name) {
    const auto found =
        std::find_if(m_printers.begin(), m_printers.end(), [&name](const Printer& printer) {
            return SamePrinterName(printer.name, name);
        });
    if (found != m_printers.end())
        return *found;
    m_printers.append(Printer{name, 0, {}, Histogram(kOrderToPaperBounds)});
    return m_printers.last();
}
