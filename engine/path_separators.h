#pragma once

#include <cstddef>
#include <string_view>

namespace zirared {

// What ends a folder in a path: '/', and on Windows also '\' and a drive's ':'. None of them
// is ever a byte of a longer UTF-8 sequence, so a path's bytes can be tested one by one.
constexpr bool IsPathSeparator(char32_t character) {
#ifdef _WIN32
    return character == U'\\' || character == U'/' || character == U':';
#else
    return character == U'/';
#endif
}

// Where the file name starts in `path`: after its last separator, 0 when it has none.
constexpr std::size_t FileNameOffset(std::string_view path) {
    for (std::size_t i = path.size(); i > 0; --i) {
        if (IsPathSeparator(static_cast<unsigned char>(path[i - 1]))) {
            return i;
        }
    }
    return 0;
}

}  // namespace zirared
