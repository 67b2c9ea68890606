#include "process/CloseRequest.h"

#include "process/SingleInstance.h"

#include <QDeadlineTimer>
#include <QDir>
#include <QLocalServer>
#include <QLocalSocket>
#include <QThread>

namespace {

const QByteArray CloseCommand("kapat\n");
constexpr int ConnectWaitMs = 1000;
constexpr unsigned long ProbePauseMs = 100;

QString channelName(const QString& dataFolder) {
#ifdef Q_OS_WIN
    Q_UNUSED(dataFolder);
    return QStringLiteral("VELMORA-kapat");
#else
    return QDir(dataFolder).filePath(QStringLiteral("velmora.kapat"));
#endif
}

bool anotherCopyRuns(const QString& dataFolder) {
    const SingleInstance probe(dataFolder);
    return probe.anotherCopyRuns();
}

bool ask(const QString& channel) {
    QLocalSocket socket;
    socket.connectToServer(channel);
    if (!socket.waitForConnected(ConnectWaitMs))
        return false;
    socket.write(CloseCommand);
    return socket.waitForBytesWritten(ConnectWaitMs);
}

} // namespace

CloseRequestListener::CloseRequestListener(const QString& dataFolder, QObject* parent)
    : QObject(parent)
    , m_channel(channelName(dataFolder))
    , m_server(new QLocalServer(this)) {
    // A socket file a killed copy left behind would refuse the name; this copy holds the
    // single-instance claim, so no other copy of the installation listens there.
    QLocalServer::removeServer(m_channel);
#ifndef Q_OS_WIN
    // Only the accounts that run the server may ask it to close.
    m_server->setSocketOptions(QLocalServer::UserAccessOption | QLocalServer::GroupAccessOption);
#endif
    if (!m_server->listen(m_channel)) {
        m_problem = QStringLiteral("Kapatma istegi dinlenemiyor (%1): %2")
                        .arg(m_channel, m_server->errorString());
        return;
    }
    connect(m_server, &QLocalServer::newConnection, this, &CloseRequestListener::accept);
}

void CloseRequestListener::accept() {
    while (QLocalSocket* socket = m_server->nextPendingConnection()) {
        connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
        connect(socket, &QLocalSocket::readyRead, this, [this, socket] {
            if (socket->canReadLine() && socket->readLine() == CloseCommand)
                emit closeRequested();
        });
    }
}

CloseRequestOutcome RequestClose(const QString& dataFolder, std::chrono::milliseconds timeout) {
    const QDeadlineTimer deadline(timeout.count());
    if (!anotherCopyRuns(dataFolder))
        return CloseRequestOutcome::NoneRunning;
    // A copy still starting may not listen yet: it is asked again until it takes the request.
    // It has ended when its claim is free.
    bool asked = false;
    while (anotherCopyRuns(dataFolder)) {
        if (deadline.hasExpired())
            return CloseRequestOutcome::StillRunning;
        asked = asked || ask(channelName(dataFolder));
        QThread::msleep(ProbePauseMs);
    }
    return CloseRequestOutcome::Closed;
}
