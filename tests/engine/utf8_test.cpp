#include "utf8.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>

namespace zirared {
namespace {

// Well-formed UTF-8 as Unicode defines it: the edges of each sequence length, and the
// forms a strict reader must refuse.
TEST(Utf8, DecodesExactlyTheWellFormedSequences) {
    struct Row {
        std::string bytes;
        std::optional<std::u32string> decoded;
    };
    const Row rows[] = {
        {"", U""},
        {"A\x7F", U"A\x7F"},
        {"\xC2\x80\xDF\xBF", U"\x80\x7FF"},
        {"\xE0\xA0\x80\xEF\xBF\xBF", U"\x800\xFFFF"},
        {"\xF0\x90\x80\x80\xF4\x8F\xBF\xBF", U"\x10000\x10FFFF"},
        {"\xE2\x82\xAC", U"€"},
        {"\x80", std::nullopt},              // a stray continuation byte
        {"\xC0\x80", std::nullopt},          // overlong NUL
        {"\xC1\xBF", std::nullopt},          // overlong
        {"\xE0\x9F\xBF", std::nullopt},      // overlong
        {"\xF0\x8F\xBF\xBF", std::nullopt},  // overlong
        {"\xED\xA0\x80", std::nullopt},      // a surrogate
        {"\xF4\x90\x80\x80", std::nullopt},  // past U+10FFFF
        {"\xF5\x80\x80\x80", std::nullopt},
        {"\xE2\x82", std::nullopt},  // cut short
        {"\xC3\x41", std::nullopt},  // a lead byte before a plain character
    };
    for (const Row& row : rows) {
        EXPECT_EQ(DecodeUtf8(row.bytes), row.decoded) << testing::PrintToString(row.bytes);
        std::string encoded;
        for (const char32_t c : row.decoded.value_or(U"")) {
            AppendUtf8(encoded, c);
        }
        EXPECT_EQ(encoded, row.decoded ? row.bytes : "") << testing::PrintToString(row.bytes);
    }
}

}  // namespace
}  // namespace zirared
