#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace zirared {

// Paths and texts are UTF-8 throughout the program; these are its rules for reading them.

// A byte 10xxxxxx, which continues a sequence and never starts a character.
constexpr bool IsUtf8Continuation(char byte) {
    return (static_cast<unsigned char>(byte) & 0xC0) == 0x80;
}

// The length of the valid UTF-8 sequence that starts at text[i], or 0 when it is not one
// (a stray continuation byte, an overlong form, a surrogate, past U+10FFFF, cut short).
std::size_t Utf8SequenceLength(std::string_view text, std::size_t i);

// Strict UTF-8 decoding: overlong forms, surrogates and values past U+10FFFF are rejected.
std::optional<std::u32string> DecodeUtf8(std::string_view text);
void AppendUtf8(std::string& out, char32_t codePoint);

}  // namespace zirared
