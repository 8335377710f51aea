// zirared-cli on Windows: arguments taken in UTF-16 and handed on in UTF-8, UTF-8 on the
// console, answers read from the console itself.
// clang-format off
#include <windows.h>
#include <shellapi.h>  // needs <windows.h> first
// clang-format on

#include <iostream>
#include <string>
#include <vector>

#include "console_streams.h"
#include "run_cli.h"
#include "terminal_probe.h"
#include "windows_path.h"

namespace {

// main's argv is in the ANSI code page, which cannot hold every name ("perciò" in a
// Greek or Japanese Windows); the wide command line can.
std::vector<std::string> Arguments() {
    int count = 0;
    wchar_t** wide = CommandLineToArgvW(GetCommandLineW(), &count);
    std::vector<std::string> arguments;
    for (int i = 1; wide != nullptr && i < count; ++i) {
        arguments.push_back(zirared::Utf8FromWide(wide[i]));
    }
    LocalFree(wide);
    return arguments;
}

// The console's code page is shared with the shell that started us: put it back on the way
// out.
class Utf8ConsoleOutput {
public:
    Utf8ConsoleOutput() : m_previous(GetConsoleOutputCP()) { SetConsoleOutputCP(CP_UTF8); }
    ~Utf8ConsoleOutput() {
        if (m_previous != 0) {
            SetConsoleOutputCP(m_previous);
        }
    }
    Utf8ConsoleOutput(const Utf8ConsoleOutput&) = delete;
    Utf8ConsoleOutput& operator=(const Utf8ConsoleOutput&) = delete;

private:
    UINT m_previous;
};

}  // namespace

int main() {
    const Utf8ConsoleOutput utf8Output;
    const std::vector<std::string> arguments = Arguments();
    const zirared::TerminalFacts terminal = zirared::ProbeTerminal();
    // Files and pipes get the UTF-8 bytes as they are; a console gets the same text in
    // UTF-16.
    zirared::ConsoleInputBuffer consoleInput(GetStdHandle(STD_INPUT_HANDLE));
    zirared::ConsoleOutputBuffer consoleOutput(GetStdHandle(STD_OUTPUT_HANDLE));
    zirared::ConsoleOutputBuffer consoleError(GetStdHandle(STD_ERROR_HANDLE));
    std::istream input(terminal.inputIsTerminal ? &consoleInput : std::cin.rdbuf());
    std::ostream output(terminal.outputIsTerminal ? &consoleOutput : std::cout.rdbuf());
    std::ostream error(terminal.errorIsTerminal ? &consoleError : std::cerr.rdbuf());
    return zirared::RunCli(arguments, terminal, input, output, error);
}
