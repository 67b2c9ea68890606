#pragma once

#include <QByteArray>
#include <QLatin1String>
#include <QList>
#include <QString>
#include <utility>

class Histogram;

// The text format Prometheus scrapes (version 0.0.4), written by hand: Debian packages no C++
// client library that the Windows build could take too, and the format is a few lines of text.
// Each family is announced once, then its samples follow; label values are escaped here, so any
// printer name may go in.
class PrometheusText {
public:
    using Labels = QList<std::pair<QLatin1String, QString>>;

    static constexpr const char* kContentType = "text/plain; version=0.0.4; charset=utf-8";

    void Family(QLatin1String name, QLatin1String type, QLatin1String help);
    void Sample(QLatin1String name, const Labels& labels, double value);
    // The buckets up to +Inf, then the sum and the count, under the family's name.
    void Histogram(QLatin1String name, const Labels& labels, const ::Histogram& histogram);

    const QByteArray& text() const { return m_text; }

private:
    void Line(const QByteArray& name, const Labels& labels, const QByteArray& value);

    QByteArray m_text;
};
