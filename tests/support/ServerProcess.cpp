#include "support/ServerProcess.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <gtest/gtest.h>

#ifndef Q_OS_WIN
#include <unistd.h>
#endif

QString InstallServer(const QString& binary, const QString& directory) {
    const QString target = QDir(directory).filePath(QFileInfo(binary).fileName());
#ifndef Q_OS_WIN
    // A hard link where the file system allows: the binary is large.
    if (::link(QFile::encodeName(binary).constData(), QFile::encodeName(target).constData()) == 0)
        return target;
#endif
    return QFile::copy(binary, target) ? target : QString();
}

void StopServer(QProcess& server, int signal) {
#ifdef Q_OS_WIN
    Q_UNUSED(signal);
    server.kill();
    ASSERT_TRUE(server.waitForFinished(10000));
#else
    ::kill(static_cast<pid_t>(server.processId()), signal);
    ASSERT_TRUE(server.waitForFinished(10000));
    EXPECT_EQ(server.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(server.exitCode(), 0);
#endif
}
