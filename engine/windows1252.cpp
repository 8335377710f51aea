#include "windows1252.h"

#include <array>

#include "utf8.h"

namespace zirared {
namespace {

// Characters of bytes 0x80 to 0x9F; the rest of the code page equals Latin-1.
constexpr std::array<char32_t, 32> kHighControlsBlock = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

std::optional<unsigned char> ToWindows1252(char32_t codePoint) {
    if (codePoint < 0x80 || (codePoint >= 0xA0 && codePoint <= 0xFF)) {
        return static_cast<unsigned char>(codePoint);
    }
    for (std::size_t i = 0; i < kHighControlsBlock.size(); ++i) {
        if (kHighControlsBlock[i] == codePoint) {
            return static_cast<unsigned char>(0x80 + i);
        }
    }
    return std::nullopt;
}

}  // namespace

std::optional<std::string> EncodeWindows1252(std::string_view utf8) {
    const auto codePoints = DecodeUtf8(utf8);
    if (!codePoints) {
        return std::nullopt;
    }
    std::string bytes;
    for (const char32_t codePoint : *codePoints) {
        const auto byte = ToWindows1252(codePoint);
        if (!byte) {
            return std::nullopt;
        }
        bytes.push_back(static_cast<char>(*byte));
    }
    return bytes;
}

std::string DecodeWindows1252(std::string_view bytes) {
    std::string utf8;
    for (const char c : bytes) {
        const auto byte = static_cast<unsigned char>(c);
        const bool inHighControlsBlock = byte >= 0x80 && byte < 0xA0;
        AppendUtf8(utf8, inHighControlsBlock ? kHighControlsBlock[byte - 0x80] : char32_t{byte});
    }
    return utf8;
}

}  // namespace zirared
