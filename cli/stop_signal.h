#pragma once

namespace zirared {

// Ctrl-C plays the split's Stop button: once armed, SIGINT only raises a flag that the
// engine reads between blocks, and the split deletes its pieces. It stays armed until the
// program ends, so a second Ctrl-C cannot kill the process while the pieces are deleted.
void ArmStopSignal();
bool StopSignalArmed();
bool StopSignalReceived();
void ClearStopSignal();

}  // namespace zirared
