#include "process/ProcessSignals.h"

#include <QSocketNotifier>

#ifdef Q_OS_UNIX
#include <cerrno>
#include <csignal>
#include <sys/socket.h>
#include <unistd.h>

namespace {

int wakeSockets[2] = {-1, -1};
const int handledSignals[] = {SIGTERM, SIGINT, SIGHUP};
struct sigaction previousActions[std::size(handledSignals)];

void onSignal(int signal) {
    const int savedErrno = errno;
    const char byte = static_cast<char>(signal);
    [[maybe_unused]] const ssize_t written = ::write(wakeSockets[0], &byte, 1);
    errno = savedErrno;
}

} // namespace

ProcessSignals::ProcessSignals(QObject* parent)
    : QObject(parent) {
    if (::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0, wakeSockets) != 0)
        return;
    m_notifier = new QSocketNotifier(wakeSockets[1], QSocketNotifier::Read, this);
    connect(m_notifier, &QSocketNotifier::activated, this, &ProcessSignals::drain);

    struct sigaction action = {};
    action.sa_handler = onSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    for (std::size_t i = 0; i < std::size(handledSignals); ++i)
        ::sigaction(handledSignals[i], &action, &previousActions[i]);
}

ProcessSignals::~ProcessSignals() {
    if (!m_notifier)
        return;
    for (std::size_t i = 0; i < std::size(handledSignals); ++i)
        ::sigaction(handledSignals[i], &previousActions[i], nullptr);
    delete m_notifier;
    ::close(wakeSockets[0]);
    ::close(wakeSockets[1]);
    wakeSockets[0] = wakeSockets[1] = -1;
}

void ProcessSignals::drain() {
    char buffer[16];
    bool terminate = false;
    bool retry = false;
    for (ssize_t count; (count = ::read(wakeSockets[1], buffer, sizeof buffer)) > 0;) {
        for (ssize_t i = 0; i < count; ++i)
            (buffer[i] == SIGHUP ? retry : terminate) = true;
    }
    if (retry)
        emit retryRequested();
    if (terminate)
        emit terminationRequested();
}

#else

// Windows ends the server through the close question and the session end alone, and retries
// through the tray menu.
ProcessSignals::ProcessSignals(QObject* parent)
    : QObject(parent) {}

ProcessSignals::~ProcessSignals() = default;

void ProcessSignals::drain() {}

#endif
