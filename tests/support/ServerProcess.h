#pragma once

#include <QProcess>
#include <QString>
#include <csignal>

// Puts the server binary into the directory under its own name; returns the new path, or an
// empty text on failure.
QString InstallServer(const QString& binary, const QString& directory);

// Ends a running server. On Linux the signal is the service manager's stop request, which the
// server takes as a confirmed close: it must end by itself with exit code 0. Windows has no
// such request for a server without a desktop, so there the process is ended outright.
void StopServer(QProcess& server, int signal = SIGTERM);
