#pragma once

namespace zirared {

// What the process is attached to: questions need a terminal on standard input, the
// progress line needs one on standard error. On Windows a console on any of the three is
// written and read in UTF-16.
struct TerminalFacts {
    bool inputIsTerminal = false;
    bool outputIsTerminal = false;
    bool errorIsTerminal = false;
    int columns = 80;
};

TerminalFacts ProbeTerminal();

// Discards what was typed on the standard input terminal and not read yet.
void DiscardTerminalInput();

}  // namespace zirared
