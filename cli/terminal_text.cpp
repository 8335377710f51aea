#include "terminal_text.h"

namespace zirared {
namespace {

void AppendEscaped(std::string& out, unsigned char byte) {
    static constexpr char kHex[] = "0123456789ABCDEF";
    out += "\\x";
    out += kHex[byte >> 4];
    out += kHex[byte & 0x0F];
}

}  // namespace

std::string ForTerminal(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        const auto byte = static_cast<unsigned char>(text[i]);
        const bool crLf = byte == '\r' && i + 1 < text.size() && text[i + 1] == '\n';
        if (crLf) {
            continue;  // the LF that follows is the line break
        }
        const bool lineBreak = byte == '\n' && i > 0 && text[i - 1] == '\r';
        const bool c1 = byte == 0xC2 && i + 1 < text.size() &&
                        static_cast<unsigned char>(text[i + 1]) >= 0x80 &&
                        static_cast<unsigned char>(text[i + 1]) <= 0x9F;
        if (lineBreak) {
            out += '\n';
        } else if (byte < 0x20 || byte == 0x7F) {
            AppendEscaped(out, byte);
        } else if (c1) {
            AppendEscaped(out, byte);
            AppendEscaped(out, static_cast<unsigned char>(text[++i]));
        } else {
            out += static_cast<char>(byte);
        }
    }
    return out;
}

}  // namespace zirared
