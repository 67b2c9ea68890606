#include "app/TerminationSignals.h"

#include <QSocketNotifier>

#ifdef Q_OS_UNIX
#include <cerrno>
#include <csignal>
#include <sys/socket.h>
#include <unistd.h>

namespace {

int wakeSockets[2] = {-1, -1};
struct sigaction previousTerm;
struct sigaction previousInt;

void onSignal(int) {
    const int savedErrno = errno;
    const char byte = 1;
    [[maybe_unused]] const ssize_t written = ::write(wakeSockets[0], &byte, 1);
    errno = savedErrno;
}

} // namespace

TerminationSignals::TerminationSignals(QObject* parent)
    : QObject(parent) {
    if (::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0, wakeSockets) != 0)
        return;
    m_notifier = new QSocketNotifier(wakeSockets[1], QSocketNotifier::Read, this);
    connect(m_notifier, &QSocketNotifier::activated, this, &TerminationSignals::drain);

    struct sigaction action = {};
    action.sa_handler = onSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    ::sigaction(SIGTERM, &action, &previousTerm);
    ::sigaction(SIGINT, &action, &previousInt);
}

TerminationSignals::~TerminationSignals() {
    if (!m_notifier)
        return;
    ::sigaction(SIGTERM, &previousTerm, nullptr);
    ::sigaction(SIGINT, &previousInt, nullptr);
    delete m_notifier;
    ::close(wakeSockets[0]);
    ::close(wakeSockets[1]);
    wakeSockets[0] = wakeSockets[1] = -1;
}

void TerminationSignals::drain() {
    char buffer[16];
    while (::read(wakeSockets[1], buffer, sizeof buffer) > 0) {
    }
    emit terminationRequested();
}

#else

// Windows ends the server through the close question and the session end alone.
TerminationSignals::TerminationSignals(QObject* parent)
    : QObject(parent) {}

TerminationSignals::~TerminationSignals() = default;

void TerminationSignals::drain() {}

#endif
