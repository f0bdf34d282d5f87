#include "app/SignalForwarder.h"

#include <QSocketNotifier>

#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <sys/socket.h>
#include <unistd.h>

namespace zelmora {

namespace {

// [0] written by the handler, [1] read by the notifier; -1 while no instance is installed.
int g_fds[2] = {-1, -1};

extern "C" void forwardSignal(int signalNumber) {
    const int savedErrno = errno;
    const unsigned char byte = static_cast<unsigned char>(signalNumber);
    // Non-blocking: when the pipe is full the signal is already pending in the loop.
    [[maybe_unused]] const ssize_t n = ::write(g_fds[0], &byte, 1);
    errno = savedErrno;
}

void closeFds() {
    for (int& fd : g_fds) {
        if (fd >= 0)
            ::close(fd);
        fd = -1;
    }
}

} // namespace

SignalForwarder::SignalForwarder(QObject* parent) : QObject(parent) {}

SignalForwarder::~SignalForwarder() {
    uninstall();
}

QList<int> SignalForwarder::defaultSignals() {
    return {SIGTERM, SIGINT, SIGHUP};
}

bool SignalForwarder::install(const QList<int>& signalNumbers) {
    if (m_notifier || g_fds[0] >= 0)
        return false;
    if (::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, g_fds) != 0) {
        g_fds[0] = g_fds[1] = -1;
        return false;
    }
    ::fcntl(g_fds[0], F_SETFL, ::fcntl(g_fds[0], F_GETFL) | O_NONBLOCK);
    ::fcntl(g_fds[1], F_SETFL, ::fcntl(g_fds[1], F_GETFL) | O_NONBLOCK);

    m_notifier = new QSocketNotifier(g_fds[1], QSocketNotifier::Read, this);
    connect(m_notifier, &QSocketNotifier::activated, this, &SignalForwarder::readPending);

    for (int sig : signalNumbers) {
        struct sigaction action {};
        action.sa_handler = forwardSignal;
        sigemptyset(&action.sa_mask);
        action.sa_flags = SA_RESTART;
        auto* previous = new struct sigaction();
        if (::sigaction(sig, &action, previous) != 0) {
            delete previous;
            uninstall();
            return false;
        }
        m_signals.append(sig);
        m_previous.append(previous);
    }
    return true;
}

void SignalForwarder::uninstall() {
    for (qsizetype i = 0; i < m_signals.size(); ++i) {
        auto* previous = static_cast<struct sigaction*>(m_previous[i]);
        ::sigaction(m_signals[i], previous, nullptr);
        delete previous;
    }
    m_signals.clear();
    m_previous.clear();
    if (m_notifier) {
        delete m_notifier;
        m_notifier = nullptr;
        closeFds();
    }
}

void SignalForwarder::readPending() {
    unsigned char buffer[16];
    QList<int> pending;
    for (;;) {
        const ssize_t n = ::read(g_fds[1], buffer, sizeof buffer);
        if (n <= 0)
            break;
        for (ssize_t i = 0; i < n; ++i)
            pending.append(buffer[i]);
    }
    for (int sig : pending)
        emit received(sig);
}

} // namespace zelmora
