#include "metrics/PrometheusText.h"

#include "metrics/Histogram.h"

namespace {

QByteArray Number(double value) {
    return QByteArray::number(value, 'g', 15);
}

QByteArray Escaped(const QString& value) {
    QByteArray escaped = value.toUtf8();
    escaped.replace('\\', "\\\\").replace('"', "\\\"").replace('\n', "\\n");
    return escaped;
}

} // namespace

void PrometheusText::Family(QLatin1String name, QLatin1String type, QLatin1String help) {
    m_text += "# HELP " + QByteArray(name.data(), name.size()) + ' ' +
              QByteArray(help.data(), help.size()) + "\n# TYPE " +
              QByteArray(name.data(), name.size()) + ' ' + QByteArray(type.data(), type.size()) +
              '\n';
}

void PrometheusText::Sample(QLatin1String name, const Labels& labels, double value) {
    Line(QByteArray(name.data(), name.size()), labels, Number(value));
}

void PrometheusText::Histogram(QLatin1String name, const Labels& labels,
                               const ::Histogram& histogram) {
    const QByteArray base(name.data(), name.size());
    Labels withBound = labels;
    withBound.append({QLatin1String("le"), QString()});
    quint64 cumulative = 0;
    for (qsizetype i = 0; i < histogram.bounds().size(); ++i) {
        cumulative += histogram.counts().at(i);
        withBound.last().second = QString::fromLatin1(Number(histogram.bounds().at(i)));
        Line(base + "_bucket", withBound, QByteArray::number(cumulative));
    }
    withBound.last().second = QStringLiteral("+Inf");
    Line(base + "_bucket", withBound, QByteArray::number(histogram.count()));
    Line(base + "_sum", labels, Number(histogram.sum()));
    Line(base + "_count", labels, QByteArray::number(histogram.count()));
}

void PrometheusText::Line(const QByteArray& name, const Labels& labels, const QByteArray& value) {
    m_text += name;
    if (!labels.isEmpty()) {
        m_text += '{';
        for (qsizetype i = 0; i < labels.size(); ++i) {
            if (i > 0)
                m_text += ',';
            m_text += QByteArray(labels.at(i).first.data(), labels.at(i).first.size()) + "=\"" +
                      Escaped(labels.at(i).second) + '"';
        }
        m_text += '}';
    }
    m_text += ' ' + value + '\n';
}
