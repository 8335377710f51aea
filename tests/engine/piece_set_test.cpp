#include "piece_set.h"

#include <gtest/gtest.h>

#include <string>

#include "windows1252.h"

namespace zirared {
namespace {

std::string AsText(const HeaderBytes& header) {
    return {header.begin(), header.end()};
}

TEST(PieceHeader, WorkedExampleBytes) {
    const HeaderBytes header = BuildHeader(0, 3, {'d', 'o', 'c'});
    const unsigned char expected[16] = {0x56, 0x41, 0x56, 0x4F, 0x56, 0x4F, 0x5A, 0x30,
                                        0x30, 0x30, 0x30, 0x30, 0x33, 0x64, 0x6F, 0x63};
    EXPECT_EQ(AsText(header), std::string(reinterpret_cast<const char*>(expected), 16));
    EXPECT_EQ(AsText(BuildHeader(7, 12, {'D', 'O', 'C'})), "VAVOVOZ007012DOC");
    EXPECT_EQ(AsText(BuildHeader(998, 999, {'a', 'b', 'c'})), "VAVOVOZ998999abc");
}

TEST(PieceHeader, CountAndSizesFollowTheFormat) {
    const std::int64_t m = kSizeUnitBytes;
    EXPECT_EQ(PieceCount(m + 1, m), 2) << "one data byte in the second piece";
    EXPECT_EQ(PieceCount(2 * m, m), 3) << "an exact multiple adds a header-only piece";
    EXPECT_EQ(PieceCount(2 * m - 10, m), 2);
    EXPECT_EQ(PieceCount(3'000'000, m), 3);
    EXPECT_EQ(PieceDataSize(40 * 1400), 57'344'000) << "the largest setting";
}

struct HeaderRow {
    const char* why;
    std::string bytes;
    bool magicValid;
    int index;
    int count;
    std::string suffix;
};

class ParseHeaderTest : public testing::TestWithParam<HeaderRow> {};

TEST_P(ParseHeaderTest, ReadsFieldsLikeTheReaderRules) {
    const HeaderRow& row = GetParam();
    const PieceHeader header = ParseHeader(row.bytes);
    EXPECT_EQ(header.magicValid, row.magicValid);
    EXPECT_EQ(header.index, row.index);
    EXPECT_EQ(header.count, row.count);
    EXPECT_EQ(std::string(header.suffix.begin(), header.suffix.end()), row.suffix);
}

INSTANTIATE_TEST_SUITE_P(
    Rows, ParseHeaderTest,
    testing::Values(
        HeaderRow{"first_piece", "VAVOVOZ000003doc", true, 0, 3, "doc"},
        HeaderRow{"missing_file_reads_as_blanks", "", false, 0, 0, "   "},
        HeaderRow{"shorter_than_magic", "VAVOV", false, 0, 0, "   "},
        HeaderRow{"magic_case_differs", "VAVOVOz000003doc", false, 0, 3, "doc"},
        HeaderRow{"truncated_after_count_blank_suffix", "VAVOVOZ002003", true, 2, 3, "   "},
        HeaderRow{"leading_blanks_skipped", "VAVOVOZ  1 12doc", true, 1, 12, "doc"},
        HeaderRow{"digits_stop_at_non_digit", "VAVOVOZ1x23x4doc", true, 1, 3, "doc"},
        HeaderRow{"field_without_digits_is_zero", "VAVOVOZ-1-xyzdoc", true, 0, 0, "doc"},
        HeaderRow{"data_after_header_ignored", "VAVOVOZ001002docDATA", true, 1, 2, "doc"}),
    [](const auto& info) { return std::string(info.param.why); });

struct NameRow {
    const char* why;
    std::string path;
    NameCheck check;
    std::string stem;
    std::string lastThree;
};

class CutNameTest : public testing::TestWithParam<NameRow> {};

TEST_P(CutNameTest, CutsTheLastThreeCharacters) {
    const NameRow& row = GetParam();
    const NameCut cut = CutLastThreeCharacters(row.path);
    EXPECT_EQ(cut.check, row.check);
    if (row.check == NameCheck::Ok) {
        EXPECT_EQ(cut.stem, row.stem);
        EXPECT_EQ(cut.lastThree, row.lastThree);
        EXPECT_EQ(cut.stem + cut.lastThree, row.path);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Rows, CutNameTest,
    testing::Values(
        NameRow{"three_letter_extension", "/w/report.doc", NameCheck::Ok, "/w/report.", "doc"},
        NameRow{"four_letter_extension", "/w/mare.jpeg", NameCheck::Ok, "/w/mare.j", "peg"},
        NameRow{"no_dot", "/w/LEGGIMI", NameCheck::Ok, "/w/LEGG", "IMI"},
        NameRow{"case_kept", "/w/REPORT.DOC", NameCheck::Ok, "/w/REPORT.", "DOC"},
        NameRow{"accented_letter_is_one_character", "/w/però", NameCheck::Ok, "/w/p", "erò"},
        NameRow{"four_byte_character",
                "/w/x\xF0\x9F\x98\x80"
                "ab",
                NameCheck::Ok, "/w/x",
                "\xF0\x9F\x98\x80"
                "ab"},
        NameRow{"name_of_exactly_three", "/w/abc", NameCheck::Ok, "/w/", "abc"},
        NameRow{"relative_name_of_three", "abc", NameCheck::Ok, "", "abc"},
        NameRow{"name_of_two_reaches_directory", "/w/ab", NameCheck::NameTooShort, "", ""},
        NameRow{"path_of_two", "ab", NameCheck::NameTooShort, "", ""},
        NameRow{"cut_sequence_at_end", "/w/file\xC3", NameCheck::NotUtf8, "", ""},
        NameRow{"stray_continuation_bytes", "/w/f\x80\x80\x80\x80\x80", NameCheck::NotUtf8, "", ""},
        NameRow{"latin1_byte_not_utf8", "/w/per\xF2", NameCheck::NotUtf8, "", ""}),
    [](const auto& info) { return std::string(info.param.why); });

TEST(PieceNaming, PathsAndDirectoryPart) {
    EXPECT_EQ(PiecePath("/w/report.", 0), "/w/report.000");
    EXPECT_EQ(PiecePath("/w/report.", 7), "/w/report.007");
    EXPECT_EQ(PiecePath("/w/report.", 998), "/w/report.998");
    EXPECT_EQ(DirectoryPart("/w/x/report.doc"), "/w/x/");
    EXPECT_EQ(DirectoryPart("/report.doc"), "/");
    EXPECT_EQ(DirectoryPart("report.doc"), "");
}

TEST(PieceNaming, SuffixFromAHeaderMustStayInTheDirectory) {
    EXPECT_TRUE(SuffixIsPlainName("doc"));
    EXPECT_TRUE(SuffixIsPlainName("erò"));
    EXPECT_FALSE(SuffixIsPlainName("a/b"));
    EXPECT_FALSE(SuffixIsPlainName("/.."));
    EXPECT_FALSE(SuffixIsPlainName(std::string("a\0b", 3)));
#ifndef _WIN32
    EXPECT_TRUE(SuffixIsPlainName("a\\b")) << "an ordinary file name character here";
#endif
}

#ifdef _WIN32
// Paths as Windows users write them: drive letters, both slashes, and a colon that ends the
// drive part.
TEST(PieceNamingOnWindows, DirectoryPartEndsAtEitherSlashOrTheDriveColon) {
    EXPECT_EQ(DirectoryPart("C:\\Lavoro\\report.doc"), "C:\\Lavoro\\");
    EXPECT_EQ(DirectoryPart("C:/Lavoro/sotto\\report.doc"), "C:/Lavoro/sotto\\");
    EXPECT_EQ(DirectoryPart("C:report.doc"), "C:");
    EXPECT_EQ(CutLastThreeCharacters("C:\\Dati\\LEGGIMI").stem, "C:\\Dati\\LEGG");
    EXPECT_EQ(CutLastThreeCharacters("C:\\ab").check, NameCheck::NameTooShort);
    EXPECT_EQ(CutLastThreeCharacters("C:ab").check, NameCheck::NameTooShort);
}

// A suffix that Windows cannot hold in a name could only name another folder, a stream
// ("a:b") or nothing at all.
TEST(PieceNamingOnWindows, SuffixWithACharacterWindowsForbidsIsRefused) {
    for (const char* suffix :
         {"a\\b", "a/b", "a:b", "a<b", "a>b", "a\"b", "a|b", "a?b", "a*b", "a\tb",
          "\x1f"
          "ab"}) {
        EXPECT_FALSE(SuffixIsPlainName(suffix)) << suffix;
    }
    EXPECT_FALSE(SuffixIsPlainName("do.")) << "Windows would write \"do\"";
    EXPECT_FALSE(SuffixIsPlainName("do ")) << "Windows would write \"do\"";
    EXPECT_TRUE(SuffixIsPlainName("et\xC3\xA0"));
    EXPECT_TRUE(SuffixIsPlainName("a b"));
    EXPECT_TRUE(SuffixIsPlainName(".do"));
}
#endif

TEST(Windows1252, EveryByteSurvivesARoundTrip) {
    for (int byte = 0; byte < 256; ++byte) {
        const std::string original(1, static_cast<char>(byte));
        const auto encoded = EncodeWindows1252(DecodeWindows1252(original));
        ASSERT_TRUE(encoded.has_value()) << byte;
        EXPECT_EQ(*encoded, original) << byte;
    }
}

TEST(Windows1252, MapsTheCodePageNotLatin1) {
    EXPECT_EQ(DecodeWindows1252("\x80\xF2\x9F"), "€òŸ");
    EXPECT_EQ(EncodeWindows1252("erò"), std::string("er\xF2"));
    EXPECT_EQ(EncodeWindows1252("€"), std::string("\x80"));
    EXPECT_FALSE(EncodeWindows1252("日")) << "no such character in the code page";
    EXPECT_FALSE(EncodeWindows1252("ő")) << "Latin-2 only";
    EXPECT_FALSE(EncodeWindows1252("\xC2\x80")) << "U+0080: its byte means the euro sign";
    EXPECT_FALSE(EncodeWindows1252("\xC0\xAF")) << "overlong";
    EXPECT_FALSE(EncodeWindows1252("\xED\xA0\x80")) << "surrogate";
}

}  // namespace
}  // namespace zirared
