#pragma once

namespace zirared {

// Ctrl-C, SIGTERM, SIGHUP, SIGQUIT, SIGALRM, SIGUSR1 and SIGUSR2 while a split or a join
// runs: once armed, they only raise a flag that the engine reads, so the split deletes its
// pieces and the join removes its unfinished output before the program ends. SIGPIPE and
// SIGXFSZ are ignored meanwhile, so a write they would have cut short fails instead and is
// cleaned up like any other failed write. A signal ignored when the program started stays
// ignored (nohup). The handlers do not restart system calls, so a question waiting for an
// answer ends (as No) instead of holding the program.
void ArmStopSignal();
bool StopSignalArmed();
bool StopSignalReceived();
void ClearStopSignal();

// After the operation has cleaned up: a signal that arrived puts every action back as it was
// found and ends the program by that signal, so whoever sent it sees it. Ctrl-C that stopped
// the operation is the documented Stop and leaves the exit status to the caller (the
// handlers stay until the program ends); Ctrl-C that came too late to stop it (completed)
// ends the program by SIGINT, never with the status of a success.
void FinishEndingSignal(bool completed);

}  // namespace zirared
