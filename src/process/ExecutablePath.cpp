#include "process/ExecutablePath.h"

#include <QDir>
#include <QFile>

#ifdef Q_OS_WIN
#include <vector>
#include <windows.h>
#endif

QString ExecutablePath() {
#ifdef Q_OS_WIN
    // A path longer than the buffer is cut short: the buffer grows until it fits.
    std::vector<wchar_t> path(MAX_PATH);
    DWORD length = 0;
    while ((length = GetModuleFileNameW(nullptr, path.data(), DWORD(path.size()))) == path.size())
        path.resize(path.size() * 2);
    return QDir::fromNativeSeparators(QString::fromWCharArray(path.data(), int(length)));
#else
    return QFile::symLinkTarget(QStringLiteral("/proc/self/exe"));
#endif
}
