#pragma once

namespace zirared {

// Ctrl-C, SIGTERM and SIGHUP while a split or a join runs: once armed, they only raise a
// flag that the engine reads between blocks, so the split deletes its pieces and the join
// removes its unfinished output before the program ends. The handlers do not restart
// system calls, so a question waiting for an answer ends (as No) instead of holding the
// program. They stay armed until the program ends.
void ArmStopSignal();
bool StopSignalArmed();
bool StopSignalReceived();
void ClearStopSignal();

// After the operation has cleaned up: a SIGTERM or SIGHUP that arrived is delivered again
// with its default action, so whoever sent it sees the program end by it. Ctrl-C is the
// documented Stop and ends the program with its exit status instead.
void FinishEndingSignal();

}  // namespace zirared
