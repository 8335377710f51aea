#include <iostream>
#include <string>
#include <vector>

#include "run_cli.h"
#include "terminal_probe.h"

int main(int argc, char** argv) {
    const std::vector<std::string> arguments(argv + 1, argv + argc);
    return zirared::RunCli(arguments, zirared::ProbeTerminal(), std::cin, std::cout, std::cerr);
}
