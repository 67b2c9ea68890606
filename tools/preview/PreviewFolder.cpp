#include "preview/PreviewFolder.h"

#include "core/Error.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>

namespace {

const QString kMarker = QStringLiteral(".velmora-preview");

bool isTicketFile(const QString& name) {
    static const QRegularExpression pattern(QStringLiteral(R"(^[0-9]+-.*\.(pdf|png)$)"));
    return pattern.match(name).hasMatch();
}

} // namespace

PreviewFolder::PreviewFolder(QString path)
    : m_path(QDir::cleanPath(QFileInfo(path).absoluteFilePath())) {}

QString PreviewFolder::filePath(const QString& name) const {
    return QDir(m_path).filePath(name);
}

QString PreviewFolder::logPath() const {
    return filePath(QStringLiteral("preview.log"));
}

void PreviewFolder::Prepare() const {
    if (!QDir().mkpath(m_path))
        throw Error(QStringLiteral("Onizleme klasoru olusturulamadi: ") + m_path);
    const QDir folder(m_path);
    if (folder.exists(kMarker)) {
        const QStringList names = folder.entryList(QDir::Files);
        for (const QString& name : names) {
            if ((isTicketFile(name) || name == QLatin1String("preview.log")) &&
                !QFile::remove(folder.filePath(name)))
                throw Error(QStringLiteral("Eski onizleme dosyasi silinemedi: ") +
                            folder.filePath(name));
        }
    }
    QFile marker(folder.filePath(kMarker));
    if (!marker.open(QIODevice::WriteOnly) ||
        marker.write("Written by velmora-preview: its numbered PDF and PNG files and "
                     "preview.log are replaced at each run.\n") < 0)
        throw Error(QStringLiteral("Onizleme klasorune yazilamadi: ") + m_path);
}
