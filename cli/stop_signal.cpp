#include "stop_signal.h"

#include <fcntl.h>
#include <signal.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>

#include "signal_actions.h"

namespace zirared {
namespace {

volatile std::sig_atomic_t g_signalReceived = 0;  // the signal's number, 0 for none
bool g_armed = false;
// Put back before the program ends by a signal, never by a static destructor: after the
// status is settled, a Ctrl-C pressed again must not end the program by SIGINT.
SignalActions& g_actions = *new SignalActions;

// /dev/null, opened when armed: the handler puts it in place of standard input, so that a
// question whose read had not yet begun when the signal came ends at once instead of waiting
// for a reply that the program will not use (a read under way is interrupted anyway).
int g_noInput = -1;

void OnStopSignal(int number) {
    g_signalReceived = number;
    if (g_noInput != -1) {
        const int saved = errno;
        ::dup2(g_noInput, STDIN_FILENO);
        errno = saved;
    }
}

}  // namespace

void ArmStopSignal() {
    if (g_armed) {
        return;
    }
    g_signalReceived = 0;
    g_noInput = ::open("/dev/null", O_RDONLY | O_CLOEXEC);
    // No SA_RESTART: the file layer retries on EINTR; a question must not.
    g_actions.Catch({SIGINT, SIGTERM, SIGHUP, SIGQUIT, SIGALRM, SIGUSR1, SIGUSR2}, OnStopSignal, 0);
    g_actions.Ignore({SIGPIPE, SIGXFSZ});
    g_armed = true;
}

bool StopSignalArmed() {
    return g_armed;
}

bool StopSignalReceived() {
    return g_signalReceived != 0;
}

void ClearStopSignal() {
    g_signalReceived = 0;
}

void FinishEndingSignal(bool completed) {
    const int number = g_signalReceived;
    if (number != 0 && (completed || number != SIGINT)) {
        g_actions.Restore();
        EndBySignal(number);
    }
    // Otherwise the handlers stay until the program returns its status: a Ctrl-C pressed
    // again meanwhile must not end it by the signal after the stop has cleaned up.
}

}  // namespace zirared
