#pragma once

#include <QDateTime>
#include <QString>
#include <functional>

class QFile;

// The plain text log beside the executable: one entry per call, forced entries always,
// the others only in verbose mode. Writing never fails towards the caller. An entry that would
// take the file beyond kMaxBytes starts a new one; the old one is kept as "<name>.1", replacing
// the one kept before, so the log never takes more than twice kMaxBytes of the disk.
class DiagnosticLog {
public:
    using Clock = std::function<QDateTime()>;

    static constexpr qint64 kMaxBytes = 10 * 1024 * 1024;

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
    // Moves the full file aside; a file that cannot be moved (another program holds it open
    // on Windows) is written on and moved at a later entry.
    void Rotate(QFile& file) const;
    // Whether the open file is empty or its last line is complete.
    static bool endsWithLineBreak(QFile& file);

    QString m_filePath;
    bool m_verbose;
    Clock m_clock;
};
