#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "set_digests.h"

namespace zirared {

// Plain numbered sets, as most other splitters (coreutils split -d among them) write them:
// headerless pieces NAME.001, NAME.002, ... (or from NAME.000) that joined in order, with
// nothing taken away, give back NAME. Nothing in a piece says it belongs to the set, so the
// set is judged by its names and lengths alone.

// Numbers take three digits, more only past 999.
inline constexpr int kMaxPlainPieceCount = 9'999;

// rebuiltPath + "." + number, zero-padded to three digits.
std::string PlainPiecePath(const std::string& rebuiltPath, int number);

struct PlainSet {
    std::string rebuiltPath;  // the chosen path without its ".000" or ".001"
    int first = 1;            // the number of the first piece, 0 or 1
    int count = 0;            // from the first piece up to the highest number present

    // Piece j of the set, counting from 0.
    std::string PieceAt(int j) const { return PlainPiecePath(rebuiltPath, first + j); }
    std::vector<std::string> PiecePaths() const;
};

enum class PlainOpening {
    NotPlain,     // the name does not end in ".000" or ".001" after a name of its own
    NotTheFirst,  // ".001" while a ".000" stands beside it
    First,
};

struct PlainSetFinding {
    PlainOpening opening = PlainOpening::NotPlain;
    PlainSet set;  // for First; for NotTheFirst, the set the real first piece opens
};

// The plain set chosenPath opens: two pieces at least, the second not one of ours (a set of
// ours whose first header was damaged is no plain set). The highest number present counts, gaps
// included, up to 999 and past it as far as the numbers run on, so that a missing piece in the
// middle is found rather than taken for the end.
PlainSetFinding FindPlainSet(const std::string& chosenPath);

// Why piece j, whose length is given (none: nothing stands there), does not belong to a set
// whose piece 0 is firstLength long: every piece but the last as long as piece 0, the last
// no longer, none empty. One sentence naming the piece; none when it fits.
std::optional<std::string> PlainPieceProblem(const PlainSet& set, int j,
                                             std::optional<std::int64_t> length,
                                             std::int64_t firstLength);

// True when the rebuilt file is one of the pieces under another name (a hard link): writing
// it would write into a file the join still reads.
bool PlainRebuiltIsRead(const PlainSet& set);

// The set's digest list: NAME.sha256 in sha256sum's format, or else NAME.md5 in md5sum's. It
// names every piece, NAME too or not, or else NAME alone.
SetDigestsLookup LookUpPlainSetDigests(const PlainSet& set);

// The question the window asks before joining a file without a header as a plain set.
std::string PlainJoinQuestion(const std::string& chosenPath, const PlainSet& set);

// The refusal of a ".001" chosen while the set starts at ".000".
std::string PlainNotTheFirstText(const PlainSet& set);

}  // namespace zirared
