#pragma once

#include <QDateTime>
#include <QString>
#include <functional>

class QFile;

// The plain text log beside the executable: one entry per call, forced entries always,
// the others only in verbose mode. Writing never fails towards the caller.
class DiagnosticLog {
public:
    using Clock = std::function<QDateTime()>;

    explicit DiagnosticLog(QString filePath, bool verbose = false);

    QString filePath() const { return m_filePath; }
    bool isVerbose() const { return m_verbose; }
    void setVerbose(bool verbose) { m_verbose = verbose; }
    void setClock(Clock clock) { m_clock = std::move(clock); }

    void LogLine(const QString& message, bool forced);

    // Short date, one blank, long time; the date alone at exactly midnight.
    static QString TimeStamp(const QDateTime& moment);
    // The executable's path with its extension replaced by ".log".
    static QString PathForExecutable(const QString& executablePath);

private:
    // Whether the open file is empty or its last line is complete.
    static bool endsWithLineBreak(QFile& file);

    QString m_filePath;
    bool m_verbose;
    Clock m_clock;
};
