#pragma once

#include <optional>
#include <string>
#include <vector>

#include "operation_services.h"
#include "piece_set.h"

namespace zirared {

// What a split of a file (split_file.h) and a split of a stream (stream_split.h) share: how
// the pieces are named after the file the set rebuilds, the refusals, which files at the
// pieces' names are replaced without asking, and the texts that end a split.

// The pieces' stem and the suffix stored in their headers, or the refusal when the name
// cannot give them: fewer than three characters, or last three that a header cannot hold
// one byte each in Windows-1252 (or that a join would refuse: control characters).
struct PieceNaming {
    std::optional<std::string> refusal;
    std::string stem;
    SuffixBytes suffix{};
};
PieceNaming NamePiecesAfter(const std::string& path);

// A plain set's pieces (plain_set.h) are named after the whole name, path.001 on, and carry
// nothing: no name is refused, and the stem is what an earlier split's list names them after.
PieceNaming NamePlainPiecesAfter(const std::string& path);

// The refusals, each ending with what the user can do.
std::string TooSmallText();
std::string AlreadySplitText();
std::string SourceNameTakenText();
std::string NameTooLongText(const std::string& path);
std::string TooManyPlainPiecesText();

// A piece whose header carries suffix: the rebuilt name is the pieces' stem plus that suffix,
// so it was cut from a file of this very name and a new split replaces it without asking.
bool IsPieceOfSource(const std::string& path, const SuffixBytes& suffix);

// One question per file, so that no file of the user's is replaced without being named; the
// first No declines them all.
bool OverwriteAgreed(OperationServices& host, const std::vector<std::string>& paths);

// The status and the message of a completed split of fileName into count pieces.
std::string SplitDoneStatus(int count);
std::string SplitDoneText(const std::string& fileName, int count);

}  // namespace zirared
