#pragma once

#include <QList>
#include <QtGlobal>

// Observations counted into buckets by their upper bounds, with their sum and count, as a
// Prometheus histogram is exposed. A value above the last bound is counted in the count only
// (the +Inf bucket).
class Histogram {
public:
    // Ascending.
    explicit Histogram(QList<double> bounds)
        : m_bounds(std::move(bounds))
        , m_counts(m_bounds.size(), 0) {}

    void Observe(double value) {
        for (qsizetype i = 0; i < m_bounds.size(); ++i) {
            if (value <= m_bounds.at(i)) {
                ++m_counts[i];
                break;
            }
        }
        m_sum += value;
        ++m_count;
    }

    const QList<double>& bounds() const { return m_bounds; }
    // Per bucket, not cumulative.
    const QList<quint64>& counts() const { return m_counts; }
    double sum() const { return m_sum; }
    quint64 count() const { return m_count; }

private:
    QList<double> m_bounds;
    QList<quint64> m_counts;
    double m_sum = 0;
    quint64 m_count = 0;
};
