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
    if (!file.open(QIODevice::ReadWrite))
        return; // a log that cannot be written never stops a print job
    if (file.size() > 0 && file.size() + entry.size() > kMaxBytes)
        Rotate(file);
    // A last line cut short (a full disk, a hand edit) keeps its own line: the new entry never
    // continues it. Only the last two bytes are read, so the cost stays that of an append.
    const bool broken = !endsWithLineBreak(file);
    if (!file.seek(file.size()))
        return;
    file.write(broken ? "\r\n" + entry : entry);
}

void DiagnosticLog::Rotate(QFile& file) const {
    file.close();
    const QString kept = m_filePath + QStringLiteral(".1");
    QFile::remove(kept);
    QFile::rename(m_filePath, kept);
    file.open(QIODevice::ReadWrite);
}

bool DiagnosticLog::endsWithLineBreak(QFile& file) {
    const qint64 size = file.size();
    if (size == 0)
        return true;
    if (size < 2 || !file.seek(size - 2))
        return false;
    return file.read(2) == "\r\n";
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
