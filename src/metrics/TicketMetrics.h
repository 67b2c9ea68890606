#pragma once

#include "metrics/Histogram.h"

#include <QLatin1String>
#include <QList>
#include <QString>
#include <optional>

class PrometheusText;

// What the tickets added up to since the server started, per logical printer: the printed and
// failed counters and the order-to-paper histogram of /metrics. A printer's name compares as
// printer names do, and its first spelling is its label; a failure's reason is a kind, never
// the text (print/PrinterFailureKind.h), so the series stay few.
class TicketMetrics {
public:
    // From a tenth of a second, a receipt printer's pace, to the minute a waiter notices.
    static const QList<double> kOrderToPaperBounds;

    // The seconds from the job's first sighting to the paper, where the ticket had a job.
    void Printed(const QString& printer, std::optional<double> orderToPaperSeconds);
    void Failed(const QString& printer, QLatin1String kind);

    // The families velmora_tickets_printed_total, velmora_ticket_failures_total and
    // velmora_order_to_paper_seconds.
    void Write(PrometheusText& text) const;

private:
    struct Printer {
        QString name;
        quint64 printed = 0;
        QList<std::pair<QLatin1String, quint64>> failures; // by kind
        Histogram orderToPaper;
    };

    Printer& At(const QString& name);

    QList<Printer> m_printers; // in the order first seen
};
