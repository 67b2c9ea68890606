#pragma once

#include <QString>

// The folder the preview writes into. A folder it made before carries a marker file, and its
// earlier ticket files and log are removed so that only this run's tickets stand there;
// nothing is removed from a folder without the marker.
class PreviewFolder {
public:
    explicit PreviewFolder(QString path);

    // Creates the folder (or clears the previous preview's files). Throws Error.
    void Prepare() const;

    const QString& path() const { return m_path; }
    QString filePath(const QString& name) const;
    QString logPath() const;

private:
    QString m_path;
};
