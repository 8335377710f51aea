#include "shown_name.h"

#include <cstddef>

#include "utf8.h"

namespace zirared {
namespace {

void AppendEscaped(std::string& out, unsigned char byte) {
    static constexpr char kHex[] = "0123456789ABCDEF";
    out += "\\x";
    out += kHex[byte >> 4];
    out += kHex[byte & 0x0F];
}

}  // namespace

std::string ShownName(std::string_view name) {
    std::string out;
    out.reserve(name.size());
    for (std::size_t i = 0; i < name.size();) {
        const auto byte = static_cast<unsigned char>(name[i]);
        const std::size_t length = Utf8SequenceLength(name, i);
        const bool control =
            byte < 0x20 || byte == 0x7F ||
            (byte == 0xC2 && length == 2 && static_cast<unsigned char>(name[i + 1]) <= 0x9F);
        if (length == 0 || control) {
            // A C1 control is shown as both of its bytes; anything else invalid byte by byte.
            const std::size_t escaped = control ? length : 1;
            for (std::size_t k = 0; k < escaped; ++k) {
                AppendEscaped(out, static_cast<unsigned char>(name[i + k]));
            }
            i += escaped;
        } else {
            out.append(name.substr(i, length));
            i += length;
        }
    }
    return out;
}

}  // namespace zirared
