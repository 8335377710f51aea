#pragma once

#include <string>
#include <string_view>

namespace zirared {

// Text as it may reach a terminal: CR LF becomes a line break, and every other control
// character (C0, DEL, C1) and every byte that is not valid UTF-8 is shown as \xHH, so a
// file name cannot move the cursor or send an escape sequence to the terminal.
std::string ForTerminal(std::string_view text);

}  // namespace zirared
