#pragma once

#include <string>
#include <string_view>

namespace zirared {

// A file or list name as it may appear inside a message: CR, LF, every other C0 control,
// DEL, the C1 controls (U+0080-U+009F) and every byte that is not part of valid UTF-8 are
// written as \xHH. The messages use CR LF as their own line break, so a name could
// otherwise forge a line of its own, or send an escape sequence to a terminal.
std::string ShownName(std::string_view name);

}  // namespace zirared
