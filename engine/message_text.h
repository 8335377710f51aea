#pragma once

#include <string>

#include "operation_services.h"

namespace zirared {

// What every message of the operations has in common, whichever host shows it.

// Message texts break lines with CR LF; a host that needs another break converts.
inline constexpr const char* kLineBreak = "\r\n";

// "Errore n° " and the system's error code, as every failure report ends.
std::string ErrorNumberText(int number);
// A failure as the user is told of it: its description, then its number on a line of its own.
std::string FailureText(const std::string& description, int number);

// The kind of a message in words, for a host that cannot show it as an icon:
// "avviso", "informazione", "domanda", "errore".
const char* MessageKindName(MessageKind kind);

}  // namespace zirared
