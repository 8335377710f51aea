#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "utf8.h"

namespace zirared {

// The name suffix travels in the piece header one byte per character in Windows-1252, the
// code page the pieces were always written in; paths here are UTF-8.

// Empty when the text is not valid UTF-8 or holds a character Windows-1252 cannot hold.
std::optional<std::string> EncodeWindows1252(std::string_view utf8);
// Every byte has a character: the five bytes Windows-1252 leaves undefined map to the C1
// controls of the same value, as Windows itself maps them, so they survive a round trip.
std::string DecodeWindows1252(std::string_view bytes);

}  // namespace zirared
