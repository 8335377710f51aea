#include "stop_signal.h"

#include <signal.h>

#include <csignal>

namespace zirared {
namespace {

volatile std::sig_atomic_t g_stopReceived = 0;
bool g_armed = false;

void OnStopSignal(int) {
    g_stopReceived = 1;
}

}  // namespace

void ArmStopSignal() {
    if (g_armed) {
        return;
    }
    g_stopReceived = 0;
    struct sigaction action {};
    action.sa_handler = OnStopSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;  // a copy in progress must not see EINTR
    sigaction(SIGINT, &action, nullptr);
    g_armed = true;
}

bool StopSignalArmed() {
    return g_armed;
}

bool StopSignalReceived() {
    return g_stopReceived != 0;
}

void ClearStopSignal() {
    g_stopReceived = 0;
}

}  // namespace zirared
