#include "log/DiagnosticLog.h"

#include "core/RegionalSettings.h"

#include <QFile>
#include <QFileInfo>
#include <QStringEncoder>

DiagnosticLog::DiagnosticLog(QString filePath, bool verbose)
    : m_filePath(std::move(filePath))
    , m_verbose(verbose)
    , m_clock([] { return QDateTime::currentDateTime(); }) {}

void DiagnosticLog::LogLine(const QString& message, bool forced) {
    if (!forced && !m_verbose)
        return;

    // Appending writes the same bytes as rewriting the whole file would, without putting the
    // existing entries at risk and without a cost that grows with the log.
    QStringEncoder encoder(QStringConverter::System);
    const QByteArray entry =
        encoder.encode(TimeStamp(m_clock()) + QLatin1Char('-') + message + QLatin1String("\r\n"));
    QFile file(m_filePath);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Append))
        return; // a log that cannot be written never stops a print job
    file.write(entry);
}

QString DiagnosticLog::TimeStamp(const QDateTime& moment) {
    const RegionalSettings& regional = RegionalSettings::current();
    const QString date = moment.date().toString(regional.shortDateFormat);
    if (moment.time() == QTime(0, 0))
        return date;
    return date + QLatin1Char(' ') + moment.time().toString(regional.longTimeFormat);
}

QString DiagnosticLog::PathForExecutable(const QString& executablePath) {
    const QString suffix = QFileInfo(executablePath).suffix();
    if (suffix.isEmpty())
        return executablePath + QLatin1String(".log");
    return executablePath.left(executablePath.size() - suffix.size()) + QLatin1String("log");
}
