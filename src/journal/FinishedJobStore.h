#pragma once

#include "journal/JournalFile.h"

#include <QList>
#include <QString>

class DiagnosticLog;

// A queue job whose tickets all came out, known by its queue ID together with its bill and type.
struct FinishedJob {
    QString jobId;
    QString bill;
    QString type;
};

// The finished jobs whose queue rows could not be deleted, kept in the journal's file so that a
// restart deletes them without printing them again. Like the journal it never throws and never
// waits for another program's lock: a call that fails returns false and the caller tries later.
class FinishedJobStore {
public:
    FinishedJobStore(QString filePath, DiagnosticLog& log);

    // Empty when the file cannot be read.
    QList<FinishedJob> Load();
    bool Save(const FinishedJob& job);
    bool Remove(const QString& jobId);

private:
    bool Run(const QString& statement, const QVariantList& values);

    JournalFile m_file;
};
