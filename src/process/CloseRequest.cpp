#include "process/CloseRequest.h"

#include "process/SingleInstance.h"

#include <QDeadlineTimer>
#include <QLocalServer>
#include <QLocalSocket>
#include <QThread>

namespace {

const QByteArray CloseCommand("kapat\n");
constexpr int ConnectWaitMs = 1000;
constexpr unsigned long ProbePauseMs = 100;

QString channelName() {
#ifdef Q_OS_WIN
    return QStringLiteral("VELMORA-kapat");
#else
    // Beside the installation's shared lock, where every account that runs the server can reach.
    QString path = SingleInstance::SharedLockPath(SingleInstance::InstallationDirectory());
    path.chop(QStringLiteral(".lock").size());
    return path + QStringLiteral(".kapat");
#endif
}

bool anotherCopyRuns() {
    const SingleInstance probe;
    return probe.anotherCopyRuns();
}

bool ask() {
    QLocalSocket socket;
    socket.connectToServer(channelName());
    if (!socket.waitForConnected(ConnectWaitMs))
        return false;
    socket.write(CloseCommand);
    return socket.waitForBytesWritten(ConnectWaitMs);
}

} // namespace

CloseRequestListener::CloseRequestListener(QObject* parent)
    : QObject(parent)
    , m_server(new QLocalServer(this)) {
    // A socket file a killed copy left behind would refuse the name; this copy holds the
    // single-instance claim, so no other copy of the installation listens there.
    QLocalServer::removeServer(channelName());
    if (!m_server->listen(channelName())) {
        m_problem = QStringLiteral("Kapatma istegi dinlenemiyor (%1): %2")
                        .arg(channelName(), m_server->errorString());
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

CloseRequestOutcome RequestClose(std::chrono::milliseconds timeout) {
    const QDeadlineTimer deadline(timeout.count());
    if (!anotherCopyRuns())
        return CloseRequestOutcome::NoneRunning;
    // A copy still starting may not listen yet: it is asked again until it takes the request.
    // It has ended when its claim is free.
    bool asked = false;
    while (anotherCopyRuns()) {
        if (deadline.hasExpired())
            return CloseRequestOutcome::StillRunning;
        asked = asked || ask();
        QThread::msleep(ProbePauseMs);
    }
    return CloseRequestOutcome::Closed;
}
