#pragma once

namespace zirared {

// What the process is attached to: questions need a terminal on standard input, the
// progress line needs one on standard error.
struct TerminalFacts {
    bool inputIsTerminal = false;
    bool errorIsTerminal = false;
    int columns = 80;
};

TerminalFacts ProbeTerminal();

// Discards what was typed on the standard input terminal and not read yet.
void DiscardTerminalInput();

}  // namespace zirared
