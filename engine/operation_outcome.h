#pragma once

namespace zirared {

// How an operation ended. The window ignores it; the terminal host turns it into
// its exit status.
enum class Outcome {
    Completed,  // the piece set or the rebuilt file is complete
    Refused,    // a check refused the input before anything was written
    Declined,   // the user answered No to a confirmation
    Stopped,    // the user stopped a split; its pieces were deleted
    Failed,     // a failure was reported to the user
};

}  // namespace zirared
