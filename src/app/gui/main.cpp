#include "app/PrintServer.h"
#include "app/gui/DesktopMessages.h"
#include "app/gui/MainWindow.h"
#include "log/DiagnosticLog.h"
#include "print/RasterCanvas.h"
#include "process/CloseRequest.h"
#include "process/HeadlessMessages.h"
#include "process/HeadlessPlatform.h"
#include "process/ProcessSignals.h"
#include "process/SingleInstance.h"

#include <QApplication>
#include <QSystemTrayIcon>
#include <cstring>
#include <iostream>

namespace {

// As long as the setup program waits for a running copy to close.
constexpr std::chrono::seconds CloseRequestWait(30);

} // namespace

// The server reads everything beside the executable. Its one argument, --kapat, makes it ask
// the running copy to close instead, for the setup program.
int main(int argc, char* argv[]) {
    if (argc == 2 && std::strcmp(argv[1], "--kapat") == 0) {
        const QCoreApplication app(argc, argv);
        return static_cast<int>(RequestClose(CloseRequestWait));
    }
    const SingleInstance instance;
    if (instance.anotherCopyRuns())
        return 0;

    ChooseOffscreenPlatformWithoutDisplay();
    RasterCanvas::CacheLargeGlyphs();
    QApplication app(argc, argv);
    // The window is hidden most of the time; only a confirmed close ends the server.
    app.setQuitOnLastWindowClosed(false);

    const QString logPath =
        DiagnosticLog::PathForExecutable(QCoreApplication::applicationFilePath());
    const bool desktop = !IsHeadlessPlatform(QGuiApplication::platformName());
    // One writer for the log file, shared by the server and the messages.
    DiagnosticLog log(logPath);
    if (!instance.unguardedReason().isEmpty()) {
        // Two unguarded copies would print every ticket twice: better none until it is fixed.
        const QString refusal =
            QStringLiteral("Tek kopya kilidi alinamadi, program baslatilmadi -- ") +
            instance.unguardedReason();
        log.LogLine(refusal, true);
        std::cerr << refusal.toLocal8Bit().constData() << std::endl;
        return 1;
    }
    HeadlessMessages headlessMessages(log, std::cerr);
    DesktopMessages desktopMessages(headlessMessages);
    UserMessages& messages =
        desktop ? static_cast<UserMessages&>(desktopMessages) : headlessMessages;

    PrintServer server(QCoreApplication::applicationDirPath(), log, messages);
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
    CloseRequestListener closeRequests;
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
