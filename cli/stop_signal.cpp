#include "stop_signal.h"

#include <signal.h>

#include <csignal>

namespace zirared {
namespace {

volatile std::sig_atomic_t g_signalReceived = 0;  // the signal's number, 0 for none
bool g_armed = false;

constexpr int kStopSignals[] = {SIGINT, SIGTERM, SIGHUP};

void OnStopSignal(int number) {
    g_signalReceived = number;
}

}  // namespace

void ArmStopSignal() {
    if (g_armed) {
        return;
    }
    g_signalReceived = 0;
    struct sigaction action {};
    action.sa_handler = OnStopSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = 0;  // the file layer retries on EINTR; a question must not
    for (const int number : kStopSignals) {
        sigaction(number, &action, nullptr);
    }
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

void FinishEndingSignal() {
    const int number = g_signalReceived;
    if (number == SIGTERM || number == SIGHUP) {
        std::signal(number, SIG_DFL);
        std::raise(number);
    }
}

}  // namespace zirared
