#pragma once

#include <istream>
#include <ostream>
#include <span>
#include <string>

#include "terminal_probe.h"

namespace zirared {

inline constexpr int kExitCompleted = 0;
inline constexpr int kExitNotCompleted = 1;  // refused, declined, stopped or failed
inline constexpr int kExitUsageError = 2;

// Runs one command line (without the program name) and returns the exit status; output that
// could not be written to output or error makes a success 1.
int RunCli(std::span<const std::string> arguments, const TerminalFacts& terminal,
           std::istream& input, std::ostream& output, std::ostream& error);

}  // namespace zirared
