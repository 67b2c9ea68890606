#include "app/PrintServer.h"
#include "app/gui/DesktopMessages.h"
#include "app/gui/MainWindow.h"
#include "config/DataFolder.h"
#include "core/Error.h"
#include "log/DiagnosticLog.h"
#include "print/RasterCanvas.h"
#include "process/CloseRequest.h"
#include "process/ExecutablePath.h"
#include "process/HeadlessMessages.h"
#include "process/HeadlessPlatform.h"
#include "process/ProcessSignals.h"
#include "process/SingleInstance.h"

#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QSystemTrayIcon>
#include <cstring>
#include <iostream>
#ifndef Q_OS_WIN
#include <sys/stat.h>
#endif

namespace {

// As long as the setup program waits for a running copy to close.
constexpr std::chrono::seconds CloseRequestWait(30);

// A copy that does not start says so and fails, so that the service manager tries again.
int refuseStart(const QString& reason, DiagnosticLog* log = nullptr) {
    if (log)
        log->LogLine(reason, true);
    std::cerr << reason.toLocal8Bit().constData() << std::endl;
    return 1;
}

} // namespace

// The server reads and writes the restaurant's files in its data folder (DataFolderOf). Its
// one argument, --kapat, makes it ask the running copy to close instead, for the setup program.
int main(int argc, char* argv[]) {
#ifndef Q_OS_WIN
    // Whatever umask the desktop session has: the ini files hold passwords and the journal the
    // bills. They are shared with the group that runs the server (the service and the desktop
    // users of the package's group velmora), never with other accounts.
    ::umask(0007);
#endif
    const QFileInfo executable(ExecutablePath());
    QString dataFolder;
    try {
        dataFolder = DataFolderOf(executable.absolutePath());
    } catch (const Error& error) {
        return refuseStart(error.message());
    }
    if (argc == 2 && std::strcmp(argv[1], "--kapat") == 0) {
        const QCoreApplication app(argc, argv);
        return static_cast<int>(RequestClose(dataFolder, CloseRequestWait));
    }
    // One writer for the log file, shared by the server and the messages.
    DiagnosticLog log(
        DiagnosticLog::PathForExecutable(QDir(dataFolder).filePath(executable.fileName())));
    const SingleInstance instance(dataFolder);
    if (instance.anotherCopyRuns())
        return refuseStart(QStringLiteral("Velmora zaten calisiyor, bu kopya baslatilmadi -- ") +
                               QDir::toNativeSeparators(instance.lockName()),
                           &log);
    // Two unguarded copies would print every ticket twice: better none until it is fixed.
    if (!instance.unguardedReason().isEmpty())
        return refuseStart(QStringLiteral("Tek kopya kilidi alinamadi, program baslatilmadi -- ") +
                               instance.unguardedReason(),
                           &log);

    ChooseOffscreenPlatformWithoutDisplay();
    RasterCanvas::CacheLargeGlyphs();
    QApplication app(argc, argv);
    // The window is hidden most of the time; only a confirmed close ends the server.
    app.setQuitOnLastWindowClosed(false);
    const bool desktop = !IsHeadlessPlatform(QGuiApplication::platformName());
    HeadlessMessages headlessMessages(log, std::cerr);
    DesktopMessages desktopMessages(headlessMessages);
    UserMessages& messages =
        desktop ? static_cast<UserMessages&>(desktopMessages) : headlessMessages;

    PrintServer server(dataFolder, log, messages);
    // Queued: a close confirmed before the loop runs still ends it.
    QObject::connect(
        &server, &PrintServer::closed, &app, [] { QCoreApplication::exit(0); },
        Qt::QueuedConnection);
    // SIGTERM and SIGINT are a confirmed close, with or without a desktop; SIGHUP (the
    // service's reload) retries the set-aside jobs.
    ProcessSignals processSignals;
    QObject::connect(&processSignals, &ProcessSignals::terminationRequested, &server,
                     &PrintServer::Close);
    QObject::connect(&processSignals, &ProcessSignals::retryRequested, &server,
                     &PrintServer::RetrySetAsideJobs);
    // The setup program's request: a confirmed close without the question.
    CloseRequestListener closeRequests(dataFolder);
    if (!closeRequests.problem().isEmpty())
        log.LogLine(closeRequests.problem(), true);
    QObject::connect(&closeRequests, &CloseRequestListener::closeRequested, &server, [&] {
        log.LogLine(QStringLiteral("Kapatma istegi alindi (--kapat)"), true);
        server.Close();
    });

    TFMain FMain(server, desktop);
    // Failing ticks: a notice from the tray where one shows, else a line on standard error; the
    // log has them either way.
    server.setNotice([&FMain, desktop](const QString& text) {
        if (desktop && QSystemTrayIcon::isSystemTrayAvailable())
            FMain.ShowNotice(text);
        else
            std::cerr << text.toLocal8Bit().constData() << std::endl;
    });
    if (server.FormCreate() == StartupOutcome::ConnectionFailed)
        return 0;
    return app.exec();
}
