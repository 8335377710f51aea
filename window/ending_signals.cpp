#include "ending_signals.h"

#include <signal.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>

namespace zirared {
namespace {

int g_pipe[2] = {-1, -1};  // the handler writes, the event loop reads

void OnEndingSignal(int number) {
    const int saved = errno;
    const char byte = static_cast<char>(number);  // every ending signal's number fits
    [[maybe_unused]] const ssize_t written = ::write(g_pipe[0], &byte, 1);
    errno = saved;
}

}  // namespace

EndingSignals::EndingSignals() {
    if (::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0, g_pipe) != 0) {
        return;  // the signals keep their actions
    }
    m_notifier = std::make_unique<QSocketNotifier>(g_pipe[1], QSocketNotifier::Read);
    connect(m_notifier.get(), &QSocketNotifier::activated, this, &EndingSignals::Drain);
    m_actions.Catch({SIGTERM, SIGHUP, SIGINT, SIGQUIT, SIGALRM, SIGUSR1, SIGUSR2}, OnEndingSignal,
                    SA_RESTART);
    m_actions.Ignore({SIGPIPE, SIGXFSZ});
}

EndingSignals::~EndingSignals() {
    if (!m_notifier) {
        return;
    }
    m_actions.Restore();
    m_notifier.reset();
    ::close(g_pipe[0]);
    ::close(g_pipe[1]);
    g_pipe[0] = g_pipe[1] = -1;
}

void EndingSignals::Drain() {
    char bytes[16];
    ssize_t got = 0;
    while ((got = ::read(g_pipe[1], bytes, sizeof bytes)) > 0) {
        m_received = static_cast<unsigned char>(bytes[got - 1]);
    }
    emit endRequested();
}

}  // namespace zirared
