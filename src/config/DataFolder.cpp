#include "config/DataFolder.h"

#include "config/IniFile.h"

#include <QDir>

QString DataFolderOf(const QString& executableDirectory) {
    IniFiles installation(executableDirectory);
    installation.setReadOnly(true);
    const QString named =
        installation.IniReadString(QStringLiteral("Kurulum"), QStringLiteral("Kurulum"),
                                   QStringLiteral("Veri klasoru"), QString());
    if (named.isEmpty())
        return executableDirectory;
    return QDir::cleanPath(
        QDir(executableDirectory).absoluteFilePath(QDir::fromNativeSeparators(named)));
}
