#include "terminal_probe.h"

#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>

namespace zirared {

TerminalFacts ProbeTerminal() {
    TerminalFacts facts;
    facts.inputIsTerminal = isatty(STDIN_FILENO) == 1;
    facts.outputIsTerminal = isatty(STDOUT_FILENO) == 1;
    facts.errorIsTerminal = isatty(STDERR_FILENO) == 1;
    winsize size{};
    if (facts.errorIsTerminal && ioctl(STDERR_FILENO, TIOCGWINSZ, &size) == 0 && size.ws_col > 0) {
        facts.columns = size.ws_col;
    }
    return facts;
}

void DiscardTerminalInput() {
    tcflush(STDIN_FILENO, TCIFLUSH);
}

}  // namespace zirared
