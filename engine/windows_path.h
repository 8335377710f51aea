#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace zirared {

// The engine keeps paths in UTF-8; the wide-character Win32 calls take UTF-16. These are the
// only crossings between the two.

// Empty when text is not valid UTF-8.
std::optional<std::wstring> WideFromUtf8(std::string_view text);
// Unpaired surrogates (names no Windows program writes, but the file system allows) become
// U+FFFD.
std::string Utf8FromWide(std::wstring_view text);

// The path as the wide file functions want it: a path too long for the classic limit of
// 260 characters is made absolute and given the \\?\ prefix, which lifts that limit. Empty
// when path is not valid UTF-8.
std::optional<std::wstring> SystemPath(const std::string& path);

}  // namespace zirared
