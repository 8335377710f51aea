#pragma once

#include <cstdint>
#include <string>

#include "operation_outcome.h"
#include "operation_services.h"

namespace zirared {

// Cuts the file at fileName (UTF-8 path) into a piece set beside it, pieces of
// filesizeKB × 1024 data bytes each. Every outcome is reported through the host.
// Before anything is written it refuses a source no larger than one piece, one that is
// already a piece, one that would need more than 999 pieces, a file name shorter than three
// characters or whose last three cannot be stored one byte each in Windows-1252, and a
// source that one of its own pieces would overwrite, or one whose pieces or list would have a
// name too long for the folder. Pieces of an earlier split of this same source (their header
// carries its suffix) are replaced without asking; any other file at a piece's name, pieces
// of another source's set included, only once the user agrees, naming it. Each piece is
// written under a temporary name and takes its own only when whole; a split stopped or ended
// before its last rename, or failed, removes what it wrote (see operation_outcome.h).
// Lengths are 64-bit.
// With writeList, a completed split also writes the set's digest list (<fileName>.sha256,
// see set_digests.h) after the last piece. Either way a list left there by an earlier split
// of the file is removed once the split is confirmed: it no longer describes the pieces.
Outcome SplitFile(OperationServices& host, const std::string& fileName, std::int32_t filesizeKB,
                  bool writeList = false);

// The same, cutting a plain numbered set (plain_set.h) for those who join with cat or another
// splitter: headerless pieces <fileName>.001, .002, ... of pieceBytes each, the last holding
// the rest (never empty), at most kMaxPlainPieceCount of them. Any file at a piece's name is
// replaced only after a question naming it; the list, with writeList, is <fileName>.sha256.
Outcome SplitFilePlain(OperationServices& host, const std::string& fileName,
                       std::int64_t pieceBytes, bool writeList = false);

}  // namespace zirared
