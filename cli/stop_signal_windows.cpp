// Ctrl-C and Ctrl-Break on a Windows console play SIGINT; closing the console, logging off
// and shutting down play SIGHUP and SIGTERM.
#include <windows.h>

#include <atomic>

#include "stop_signal.h"

namespace zirared {
namespace {

// The system calls the handler on a thread of its own, hence the atomics.
std::atomic<DWORD> g_eventReceived{0};
std::atomic<bool> g_received{false};
bool g_armed = false;
HANDLE g_cleanedUp = nullptr;  // set by FinishEndingSignal

// The system ends the process when the handler returns from a close, log-off or shut-down
// event (and after about five seconds in any case): hold it until the split or join has
// removed what it was writing.
constexpr DWORD kCleanUpWait = 4500;

BOOL WINAPI OnConsoleControl(DWORD event) {
    g_eventReceived = event;
    g_received = true;
    if (event == CTRL_C_EVENT || event == CTRL_BREAK_EVENT) {
        return TRUE;  // handled: the operation stops and the program ends by itself
    }
    WaitForSingleObject(g_cleanedUp, kCleanUpWait);
    return FALSE;  // the default ending follows
}

}  // namespace

void ArmStopSignal() {
    if (g_armed) {
        return;
    }
    g_received = false;
    g_cleanedUp = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    SetConsoleCtrlHandler(OnConsoleControl, TRUE);
    g_armed = true;
}

bool StopSignalArmed() {
    return g_armed;
}

bool StopSignalReceived() {
    return g_received;
}

void ClearStopSignal() {
    g_received = false;
}

void FinishEndingSignal(bool completed) {
    if (!g_received) {
        return;
    }
    const DWORD event = g_eventReceived;
    if (event != CTRL_C_EVENT && event != CTRL_BREAK_EVENT) {
        SetEvent(g_cleanedUp);  // the handler returns and the system ends the process
        Sleep(INFINITE);
    }
    if (completed) {
        // The status the console gives a program that Ctrl-C ends: never a success's.
        ExitProcess(STATUS_CONTROL_C_EXIT);
    }
}

}  // namespace zirared
