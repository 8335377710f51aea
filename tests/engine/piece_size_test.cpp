#include "piece_size.h"

#include <gtest/gtest.h>

#include <string>

#include "print_row.h"

namespace zirared {
namespace {

using test::PrintTo;

// One floppy unit and the header, as stored pieces have them: the expected values below are
// worked out from these, never from the code's constants.
constexpr std::int64_t kUnit = 1'433'600;
constexpr std::int64_t kHeader = 16;

struct AcceptedRow {
    const char* why;
    std::string word;
    int units;                // for pieces with a header
    std::int64_t plainBytes;  // for headerless pieces
};

class AcceptedSizeWord : public testing::TestWithParam<AcceptedRow> {};

TEST_P(AcceptedSizeWord, GivesUnitsAndBytes) {
    const AcceptedRow& row = GetParam();
    const SizeWordReading reading = ReadSizeWord(row.word);
    ASSERT_TRUE(reading.size) << reading.problem;
    EXPECT_EQ(UnitsFor(*reading.size), row.units);
    EXPECT_EQ(PlainPieceBytes(*reading.size), row.plainBytes);
    if (row.units > 0 && !reading.size->inUnits) {
        // The most units that fit: one more would pass the size asked.
        EXPECT_LE(row.units * kUnit + kHeader, row.plainBytes);
        EXPECT_TRUE(row.units == 2995 || (row.units + 1) * kUnit + kHeader > row.plainBytes);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Rows, AcceptedSizeWord,
    testing::Values(AcceptedRow{"bare_number_is_units_as_before", "1", 1, kUnit},
                    AcceptedRow{"old_slider_top", "40", 40, 40 * kUnit},
                    AcceptedRow{"leading_zeros", "007", 7, 7 * kUnit},
                    AcceptedRow{"largest_units_below_4_GiB", "2995", 2995, 2995 * kUnit},
                    AcceptedRow{"mebibytes", "25M", 18, 26'214'400},
                    AcceptedRow{"lower_case_letter", "25m", 18, 26'214'400},
                    AcceptedRow{"megabytes", "700MB", 488, 700'000'000},
                    AcceptedRow{"mebibytes_spelt_out", "700MiB", 511, 734'003'200},
                    AcceptedRow{"gibibytes_capped_below_4_GiB", "4G", 2995, 4'294'967'296},
                    AcceptedRow{"beyond_4_GiB_still_capped", "8g", 2995, 8'589'934'592},
                    AcceptedRow{"kibibytes", "1400K", 0, 1'433'600},
                    AcceptedRow{"kilobytes_si_spelling", "1434kB", 1, 1'434'000},
                    AcceptedRow{"gigabytes", "2GB", 1395, 2'000'000'000},
                    AcceptedRow{"exact_bytes_one_unit_and_header", "1433616B", 1, 1'433'616},
                    AcceptedRow{"one_byte_short_of_a_unit", "1433615B", 0, 1'433'615},
                    AcceptedRow{"fat32_just_under_4_GiB", "fat32", 2995, 4'294'967'295},
                    AcceptedRow{"preset_in_capitals", "FAT32", 2995, 4'294'967'295},
                    AcceptedRow{"cd_700_MiB_fits_an_80_minute_disc", "cd", 511, 734'003'200},
                    AcceptedRow{"dvd_two_pieces_per_disc", "dvd", 1638, 2'348'810'240},
                    AcceptedRow{"mail_25_MB", "mail", 17, 25'000'000}),
    [](const auto& info) { return std::string(info.param.why); });

TEST(SizePresets, FitTheMediaTheyAreNamedAfter) {
    constexpr std::int64_t kCdData = 737'280'000;     // 80 minutes, 2048-byte sectors
    constexpr std::int64_t kDvdData = 4'700'372'992;  // single layer
    constexpr std::int64_t kFat32Largest = 4'294'967'295;
    for (const SizePreset& preset : SizePresets()) {
        EXPECT_LE(preset.bytes, kFat32Largest) << preset.name;
    }
    EXPECT_LE(PlainPieceBytes(*ReadSizeWord("cd").size), kCdData);
    EXPECT_LE(2 * PlainPieceBytes(*ReadSizeWord("dvd").size), kDvdData);
    EXPECT_GT(3 * PlainPieceBytes(*ReadSizeWord("dvd").size), kDvdData) << "two fill a disc";
}

struct RefusedRow {
    const char* why;
    std::string word;
    std::string problem;
};

class RefusedSizeWord : public testing::TestWithParam<RefusedRow> {};

TEST_P(RefusedSizeWord, SaysWhy) {
    const RefusedRow& row = GetParam();
    const SizeWordReading reading = ReadSizeWord(row.word);
    EXPECT_FALSE(reading.size);
    EXPECT_EQ(reading.problem, row.problem);
}

const std::string kWhatASizeIs =
    " non è una dimensione: scrivere un numero di unità da 1400 KB da 1 a 2995, una dimensione "
    "come 25M, 700MB o 4G, oppure fat32, cd, dvd o mail";
const std::string kTooManyUnits =
    " unità da 1400 KB sono troppe: un pezzo resta sotto i 4 GiB, al massimo 2995 unità da "
    "1400 KB";

INSTANTIATE_TEST_SUITE_P(
    Rows, RefusedSizeWord,
    testing::Values(RefusedRow{"one_unit_too_many_for_4_GiB", "2996", "\"2996\"" + kTooManyUnits},
                    RefusedRow{"units_overflowing", "99999999999999999999",
                               "\"99999999999999999999\"" + kTooManyUnits},
                    RefusedRow{"zero_units", "0",
                               "la dimensione dei pezzi deve essere maggiore di zero, "
                               "non \"0\""},
                    RefusedRow{"zero_bytes", "0M",
                               "la dimensione dei pezzi deve essere maggiore di zero, "
                               "non \"0M\""},
                    RefusedRow{"bytes_overflowing", "9999999999G",
                               "\"9999999999G\" è una dimensione troppo grande"},
                    RefusedRow{"lower_case_b_reads_as_bits", "25Mb", "\"25Mb\"" + kWhatASizeIs},
                    RefusedRow{"lone_lower_case_b", "512b", "\"512b\"" + kWhatASizeIs},
                    RefusedRow{"fraction", "4.7G", "\"4.7G\"" + kWhatASizeIs},
                    RefusedRow{"terabytes_not_offered", "1T", "\"1T\"" + kWhatASizeIs},
                    RefusedRow{"sign", "+5", "\"+5\"" + kWhatASizeIs},
                    RefusedRow{"blank_inside", "25 M", "\"25 M\"" + kWhatASizeIs},
                    RefusedRow{"suffix_alone", "M", "\"M\"" + kWhatASizeIs},
                    RefusedRow{"empty", "", "\"\"" + kWhatASizeIs},
                    RefusedRow{"unknown_preset", "floppy", "\"floppy\"" + kWhatASizeIs}),
    [](const auto& info) { return std::string(info.param.why); });

TEST(SizeTooSmallForAUnit, SaysWhatTheSmallestPieceMeasures) {
    const PieceSize size = *ReadSizeWord("1M").size;
    EXPECT_EQ(UnitsFor(size), 0);
    EXPECT_EQ(NoUnitFitsText("1M", size),
              "\"1M\" (1048576 byte) non basta per un pezzo: il più piccolo, un'unità da 1400 KB "
              "con i 16 byte dell'intestazione, misura 1433616 byte");
}

struct TooManyRow {
    const char* why;
    std::int64_t sourceLength;
    std::int64_t fewestUnits;
};

class FewestUnits : public testing::TestWithParam<TooManyRow> {};

TEST_P(FewestUnits, KeepTheSetWithin999Pieces) {
    const TooManyRow& row = GetParam();
    EXPECT_EQ(FewestUnitsFor(row.sourceLength), row.fewestUnits);
    const std::int64_t pieces = row.sourceLength / (row.fewestUnits * kUnit) + 1;
    EXPECT_LE(pieces, 999);
    if (row.fewestUnits > 1) {
        EXPECT_GT(row.sourceLength / ((row.fewestUnits - 1) * kUnit) + 1, 999);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Rows, FewestUnits,
    testing::Values(TooManyRow{"one_unit_still_999_pieces", 999 * kUnit - 1, 1},
                    TooManyRow{"exact_multiple_needs_a_1000th", 999 * kUnit, 2},
                    TooManyRow{"old_slider_limit", 999 * 40 * kUnit, 41},
                    TooManyRow{"largest_set_of_largest_pieces", 999 * 2995 * kUnit - 1, 2995},
                    TooManyRow{"beyond_every_size", 999 * 2995 * kUnit, 2996}),
    [](const auto& info) { return std::string(info.param.why); });

TEST(TooManyPieces, NamesTheFileAndTheSizeThatWouldDo) {
    EXPECT_EQ(TooManyPiecesText("/dati/disco.img", 999 * 40 * kUnit),
              "Il file /dati/disco.img verrebbe diviso in più di 999 files!\r\nScegliere pezzi "
              "di almeno 41 unità da 1400 KB (file di 58777616 byte) e riprovare.");
    EXPECT_EQ(TooManyPiecesText("/dati/archivio.tar", 999 * 2995 * kUnit),
              "Il file /dati/archivio.tar verrebbe diviso in più di 999 files anche con i pezzi "
              "più grandi, di 2995 unità da 1400 KB!");
}

}  // namespace
}  // namespace zirared
