#include "piece_size.h"

#include <gtest/gtest.h>

#include <string>

#include "print_row.h"

namespace zirared {
namespace {

using test::PrintTo;

// Worked out by hand from the floppy unit (1,433,600 bytes) and the 16-byte header.
struct SizeWordRow {
    const char* why;
    std::string word;
    int units;                // for pieces with a header
    std::int64_t plainBytes;  // for headerless pieces; both 0 when refused
    std::string problem;
};

class SizeWord : public testing::TestWithParam<SizeWordRow> {};

TEST_P(SizeWord, GivesUnitsAndBytesOrSaysWhyNot) {
    const SizeWordRow& row = GetParam();
    const SizeWordReading reading = ReadSizeWord(row.word);
    EXPECT_EQ(reading.problem, row.problem);
    EXPECT_EQ(reading.size ? UnitsFor(*reading.size) : 0, row.units);
    EXPECT_EQ(reading.size ? PlainPieceBytes(*reading.size) : 0, row.plainBytes);
}

const std::string kNotASize =
    " non è una dimensione: scrivere un numero di unità da 1400 KB da 1 a 2995, una dimensione "
    "come 25M, 700MB o 4G, oppure fat32, cd, dvd o mail";

INSTANTIATE_TEST_SUITE_P(
    Rows, SizeWord,
    testing::Values(
        SizeWordRow{"bare_number_is_units_as_before", "40", 40, 57'344'000, ""},
        SizeWordRow{"largest_units_below_4_GiB", "2995", 2995, 4'293'632'000, ""},
        SizeWordRow{"mebibytes", "25M", 18, 26'214'400, ""},
        SizeWordRow{"lower_case_letter", "25m", 18, 26'214'400, ""},
        SizeWordRow{"megabytes", "700MB", 488, 700'000'000, ""},
        SizeWordRow{"mebibytes_spelt_out", "700MiB", 511, 734'003'200, ""},
        SizeWordRow{"kilobytes_si_spelling", "1434kB", 1, 1'434'000, ""},
        SizeWordRow{"gibibytes_capped_below_4_GiB", "4G", 2995, 4'294'967'296, ""},
        SizeWordRow{"exact_bytes_one_unit_and_header", "1433616B", 1, 1'433'616, ""},
        SizeWordRow{"one_byte_short_of_a_unit", "1433615B", 0, 1'433'615, ""},
        SizeWordRow{"fat32_just_under_4_GiB", "FAT32", 2995, 4'294'967'295, ""},
        SizeWordRow{"cd_700_MiB_within_703_125_of_80_minutes", "cd", 511, 734'003'200, ""},
        SizeWordRow{"dvd_two_pieces_within_4_700_372_992", "dvd", 1638, 2'348'810'240, ""},
        SizeWordRow{"mail_25_MB", "mail", 17, 25'000'000, ""},
        SizeWordRow{"one_unit_too_many_for_4_GiB", "2996", 0, 0,
                    "\"2996\" unità da 1400 KB sono troppe: un pezzo resta sotto i 4 GiB, al "
                    "massimo 2995 unità da 1400 KB"},
        SizeWordRow{"zero_bytes", "0M", 0, 0,
                    "la dimensione dei pezzi deve essere maggiore di zero, non \"0M\""},
        SizeWordRow{"bytes_overflowing", "9999999999G", 0, 0,
                    "\"9999999999G\" è una dimensione troppo grande"},
        SizeWordRow{"lower_case_b_reads_as_bits", "25Mb", 0, 0, "\"25Mb\"" + kNotASize},
        SizeWordRow{"fraction", "4.7G", 0, 0, "\"4.7G\"" + kNotASize}),
    [](const auto& info) { return std::string(info.param.why); });

TEST(PieceSizeTexts, NameTheSizeThatWouldDo) {
    EXPECT_EQ(NoUnitFitsText("1M", *ReadSizeWord("1M").size),
              "\"1M\" (1048576 byte) non basta per un pezzo: il più piccolo, un'unità da 1400 KB "
              "con i 16 byte dell'intestazione, misura 1433616 byte");
    // 999 pieces of 41 units hold up to 999 × 58,777,600 − 1 bytes.
    EXPECT_EQ(TooManyPiecesText("disco.img", 999 * 40 * 1'433'600LL),
              "Il file disco.img verrebbe diviso in più di 999 files!\r\nScegliere pezzi di "
              "almeno 41 unità da 1400 KB (file di 58777616 byte) e riprovare.");
    EXPECT_EQ(TooManyPiecesText("archivio.tar", 999 * 2995 * 1'433'600LL),
              "Il file archivio.tar verrebbe diviso in più di 999 files anche con i pezzi più "
              "grandi, di 2995 unità da 1400 KB!");
}

}  // namespace
}  // namespace zirared
