#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>

#include "piece_set.h"

namespace zirared {

// The piece size a user asks for in words, and what it gives to pieces with a header (a
// whole number of size units) and to headerless pieces (an exact byte count).
//
// A size word is one of:
//   - a bare number: size units, 1 .. kMaxSizeUnits ("12"), as the size setting always was;
//   - a whole number with a suffix: K, M, G (or KiB, MiB, GiB) are powers of 1024, kB, MB, GB
//     powers of 1000, B plain bytes ("25M", "700MB", "4G", "1433616B"). The letter may be
//     lower case ("25m", "25mB"); a lower-case b is refused, as it reads as bits;
//   - a preset name (SizePresets()): fat32, cd, dvd, mail, in any case.
// A byte size or a preset is an upper bound on a piece file: pieces with a header get the most
// whole units whose file, header included, fits in it.

// A piece file stays below 4 GiB: FAT32's largest file is 4 GiB − 1 byte, and 32-bit sizes
// stop there in many tools.
inline constexpr std::int64_t kMaxPieceFileBytes = (std::int64_t{1} << 32) - 1;
// The most size units whose piece file, header included, stays within that: 2995.
inline constexpr int kMaxSizeUnits = static_cast<int>(
    (kMaxPieceFileBytes - static_cast<std::int64_t>(kHeaderBytes)) / kSizeUnitBytes);

struct SizePreset {
    std::string_view name;
    std::int64_t bytes;            // the largest a piece file may be
    std::string_view description;  // Italian, for the help
};
// fat32, cd, dvd, mail, in the order the help lists them.
std::span<const SizePreset> SizePresets();

struct PieceSize {
    bool inUnits = false;    // a bare number: count is size units; otherwise bytes
    std::int64_t count = 0;  // always at least 1
};

struct SizeWordReading {
    std::optional<PieceSize> size;  // empty when the word is refused
    std::string problem;            // then why, in Italian, quoting the word
};
SizeWordReading ReadSizeWord(std::string_view word);
// What a size word may be, in Italian: "un numero di unità da 1400 KB da 1 a 2995, una
// dimensione come 25M, 700MB o 4G, oppure fat32, cd, dvd o mail".
std::string SizeWordsText();

// For pieces with a header: the size units asked, or the most whole units whose piece file
// fits in the bytes asked, at most kMaxSizeUnits; 0 when not even one unit fits.
int UnitsFor(const PieceSize& size);
// Why a size word gives no unit at all (UnitsFor is 0), in Italian, quoting the word.
std::string NoUnitFitsText(std::string_view word, const PieceSize& size);

// For headerless pieces: the exact bytes of every piece but the last: the units asked times
// kSizeUnitBytes, or the bytes asked.
std::int64_t PlainPieceBytes(const PieceSize& size);

// The fewest size units whose pieces carry a source of sourceLength bytes in no more than
// kMaxPieceCount pieces (possibly above kMaxSizeUnits).
std::int64_t FewestUnitsFor(std::int64_t sourceLength);
// The refusal of a source that would need more than kMaxPieceCount pieces, naming the file
// (as shown) and the smallest size that would do, or saying that none does.
std::string TooManyPiecesText(std::string_view shownFile, std::int64_t sourceLength);

}  // namespace zirared
