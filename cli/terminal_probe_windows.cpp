// What a Windows process is attached to: a console, or a file or pipe.
#include <windows.h>

#include "terminal_probe.h"

namespace zirared {
namespace {

bool IsConsole(DWORD standardHandle) {
    DWORD mode = 0;
    return GetConsoleMode(GetStdHandle(standardHandle), &mode) != 0;
}

}  // namespace

TerminalFacts ProbeTerminal() {
    TerminalFacts facts;
    facts.inputIsTerminal = IsConsole(STD_INPUT_HANDLE);
    facts.outputIsTerminal = IsConsole(STD_OUTPUT_HANDLE);
    facts.errorIsTerminal = IsConsole(STD_ERROR_HANDLE);
    CONSOLE_SCREEN_BUFFER_INFO screen{};
    if (facts.errorIsTerminal &&
        GetConsoleScreenBufferInfo(GetStdHandle(STD_ERROR_HANDLE), &screen) != 0) {
        const int columns = screen.srWindow.Right - screen.srWindow.Left + 1;
        if (columns > 0) {
            facts.columns = columns;
        }
    }
    return facts;
}

void DiscardTerminalInput() {
    FlushConsoleInputBuffer(GetStdHandle(STD_INPUT_HANDLE));
}

}  // namespace zirared
