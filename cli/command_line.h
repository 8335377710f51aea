#pragma once

#include <span>
#include <string>

namespace zirared {

enum class CliCommand { Split, Join, Check, Help, Version, UsageError };

// What the user asked for on the command line. For UsageError, error holds the
// Italian reason; the other fields keep their defaults.
struct CommandLine {
    CliCommand command = CliCommand::UsageError;
    int sizeSetting = 1;  // units of 1400 KB, 1 to 40
    bool assumeYes = false;
    bool deletePieces = false;
    bool writeList = false;  // split --hash: a digest list beside the pieces
    bool verifyList = true;  // join: checked against the set's digest list when it has one
    std::string path;
    std::string error;
};

inline constexpr int kMinSizeSetting = 1;
inline constexpr int kMaxSizeSetting = 40;

// arguments excludes the program name.
CommandLine ParseCommandLine(std::span<const std::string> arguments);

}  // namespace zirared
