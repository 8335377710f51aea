#pragma once

namespace zirared {

// How an operation ended. The window ignores it; the terminal host turns it into
// its exit status. A stop or an end (OperationServices::EndRequested) is honoured until the
// operation's last step, the rename that puts its last file in place: before it the
// operation ends Stopped, after it Completed. Completed with EndRequested() still true means
// the end came too late to undo anything: every file is in place, no question was asked and
// no piece deleted since, and the host should now end the process by its signal.
enum class Outcome {
    Completed,  // the piece set or the rebuilt file is complete
    Refused,    // a check refused the input before anything was written
    Declined,   // the user answered No to a confirmation
    Stopped,    // stopped or ended before the last step: nothing it wrote was kept
    Failed,     // a failure was reported to the user
};

}  // namespace zirared
