// Ctrl-C and Ctrl-Break on a Windows console, with the same endings as SIGINT elsewhere.
#include <windows.h>

#include <atomic>

#include "stop_signal.h"

namespace zirared {
namespace {

// The system calls the handler on a thread of its own, hence the atomic flag.
std::atomic<bool> g_stopReceived{false};
bool g_armed = false;

BOOL WINAPI OnConsoleControl(DWORD event) {
    if (event == CTRL_C_EVENT || event == CTRL_BREAK_EVENT) {
        g_stopReceived = true;
        return TRUE;  // handled: the process goes on and the split deletes its pieces
    }
    return FALSE;  // closing the console, logging off: the default ending
}

}  // namespace

void ArmStopSignal() {
    if (g_armed) {
        return;
    }
    g_stopReceived = false;
    SetConsoleCtrlHandler(OnConsoleControl, TRUE);
    g_armed = true;
}

bool StopSignalArmed() {
    return g_armed;
}

bool StopSignalReceived() {
    return g_stopReceived;
}

void ClearStopSignal() {
    g_stopReceived = false;
}

}  // namespace zirared
