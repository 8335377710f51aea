#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "path_separators.h"

namespace zirared {

// The one definition of what a split writes and an assembly reads: sizes, the 16-byte
// header that opens every piece, and how pieces are named after their source.

inline constexpr std::int32_t kSizeUnitKB = 1400;  // one 3.5" floppy disk, the unit of sizes
inline constexpr std::int64_t kSizeUnitBytes = std::int64_t{kSizeUnitKB} * 1024;
// The size setting: pieces of kMinSizeSetting .. kMaxSizeSetting size units.
inline constexpr int kMinSizeSetting = 1;
inline constexpr int kMaxSizeSetting = 40;
inline constexpr std::size_t kBlockBytes = 10'240;  // the unit of copying
inline constexpr std::size_t kHeaderBytes = 16;
inline constexpr std::string_view kMagic = "VAVOVOZ";
inline constexpr std::int64_t kMaxPieceCount = 999;  // the header's three-digit fields

using HeaderBytes = std::array<char, kHeaderBytes>;
using SuffixBytes = std::array<char, 3>;

// filesizeKB × 1024, in 64 bits so that every size setting works with large sources.
std::int64_t PieceDataSize(std::int32_t filesizeKB);
// L div M + 1: a source that is an exact multiple of M ends with a header-only piece.
std::int64_t PieceCount(std::int64_t sourceLength, std::int64_t pieceDataSize);

// "VAVOVOZ", index and count as three zero-padded digits, then the suffix bytes.
HeaderBytes BuildHeader(int index, int count, const SuffixBytes& suffix);

// The piece count's field alone: where it sits in the header and its three digits. A split of
// a stream learns the count only at the end, and writes it then into headers already written.
inline constexpr std::size_t kCountFieldOffset = 10;
using CountField = std::array<char, 3>;
CountField BuildCountField(int count);

struct PieceHeader {
    bool magicValid = false;
    std::int16_t index = 0;
    std::int16_t count = 0;
    SuffixBytes suffix{' ', ' ', ' '};  // Windows-1252 bytes as stored
};

// bytes are the first bytes of a piece file, possibly fewer than 16 (a short or missing
// file): characters past the end read as blanks. Number fields skip leading blanks and take
// digits up to the first non-digit; a field without digits reads as 0.
PieceHeader ParseHeader(std::string_view bytes);
bool StartsWithMagic(std::string_view bytes);

// A path cut before its last three characters (Unicode code points of its UTF-8 text).
enum class NameCheck {
    Ok,
    NameTooShort,  // the file name proper has fewer than three characters
    NotUtf8,       // the path does not end in three valid UTF-8 characters
};
struct NameCut {
    NameCheck check = NameCheck::NotUtf8;
    std::string stem;       // the path without its last three characters
    std::string lastThree;  // those three characters, UTF-8
};
NameCut CutLastThreeCharacters(std::string_view path);

// stem + index as three zero-padded digits.
std::string PiecePath(std::string_view stem, int index);

// A suffix read from a header must name a file in the pieces' own directory, and hold no
// control character (C0, DEL or C1) that could reach a terminal or a message box.
bool SuffixIsPlainName(std::string_view suffixUtf8);

// Up to and including the last path separator; empty when there is none.
std::string DirectoryPart(std::string_view path);

}  // namespace zirared
