#include "terminal_text.h"

#include "message_text.h"
#include "shown_name.h"

namespace zirared {

std::string ForTerminal(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    for (;;) {
        const std::size_t lineEnd = text.find(kLineBreak);
        out += ShownName(text.substr(0, lineEnd));
        if (lineEnd == std::string_view::npos) {
            return out;
        }
        out += '\n';
        text.remove_prefix(lineEnd + std::string_view(kLineBreak).size());
    }
}

}  // namespace zirared
