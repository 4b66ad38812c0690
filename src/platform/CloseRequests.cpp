#include "platform/CloseRequests.h"

#ifndef Q_OS_WIN
#include <QSocketNotifier>

#include <csignal>
#include <sys/socket.h>
#include <unistd.h>

namespace {

// The write end the handler writes a byte to; the one thing a signal handler may touch.
int g_wakeUp = -1; // program-wide: a signal handler can reach nothing else

extern "C" void onCloseSignal(int) {
    const char byte = 1;
    [[maybe_unused]] const ssize_t written = ::write(g_wakeUp, &byte, 1);
}

} // namespace
#endif

CloseRequests::CloseRequests(std::function<void()> close, QObject *parent)
    : QObject(parent)
    , m_close(std::move(close)) {
#ifndef Q_OS_WIN
    int ends[2];
    if (::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, ends) != 0)
        return;
    g_wakeUp = ends[1];
    auto *notifier = new QSocketNotifier(ends[0], QSocketNotifier::Read, this);
    connect(notifier, &QSocketNotifier::activated, this, [this, fd = ends[0]] {
        char byte;
        if (::read(fd, &byte, 1) == 1 && m_close)
            m_close();
    });
    struct sigaction action {};
    action.sa_handler = onCloseSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    ::sigaction(SIGTERM, &action, nullptr);
    ::sigaction(SIGHUP, &action, nullptr);
#endif
}

CloseRequests::~CloseRequests() {
#ifndef Q_OS_WIN
    ::signal(SIGTERM, SIG_DFL);
    ::signal(SIGHUP, SIG_DFL);
#endif
}
