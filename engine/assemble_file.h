#pragma once

#include <string>
#include <vector>

#include "byte_streams.h"
#include "operation_outcome.h"
#include "operation_services.h"
#include "set_digests.h"

namespace zirared {

// Rebuilds the file of the piece set whose first piece is fileName (UTF-8 path).
// pieceFiles is the host-owned list of the last assembly's pieces: emptied and sized
// to piece count + 1 at the start of the copy, slot j filled just before piece j is read.
// The output is never one of the files the assembly reads. The whole set is judged before
// the output path is touched, and the rebuilt file is written under a temporary name and
// put in place only when complete and on disk, so a failure leaves the folder as it was.
// When the set has a digest list (set_digests.h), each piece is checked against it as it is
// read and the rebuilt file at the end: an altered piece or file stops the join, nothing kept.
// A name too long for the folder (the output's or its temporary name) is refused before the
// copy. While it copies the host is busy (SetBusy) and the join honours a stop (StopRequested,
// cleared as the copy begins) and an end (EndRequested) up to the rename: before it nothing is
// kept, after it a stop changes nothing and an end keeps the pieces without asking about their
// deletion (see operation_outcome.h).
// A chosen file without a header whose name ends in ".000" or ".001" opens a plain set
// (plain_set.h): joined the same way, piece by piece with nothing taken off, after the
// question of PlainJoinQuestion unless plainUse says to join it at once; No refuses the file
// as no piece.
// With stream, the set is judged the same way, then its bytes go to stream instead of a file
// (nothing is written in the folder, nothing asked about the output) and the pieces are never
// deleted. Bytes sent cannot be taken back: a piece or a rebuilt file that differs from the
// list ends the run Failed after them, and the consumer must look at the outcome. A stream
// that takes no more bytes ends the run Failed without a message (operation_run.h).
enum class PlainSetUse { Ask, Join };
Outcome AssembleFile(OperationServices& host, const std::string& fileName,
                     std::vector<std::string>& pieceFiles,
                     ListUse listUse = ListUse::AskWhenUnusable,
                     PlainSetUse plainUse = PlainSetUse::Ask, ByteSink* stream = nullptr);

// True when anything stands at path, readable or not, a symbolic link that leads nowhere
// included; never reports an error.
bool FileExists(const std::string& path);

// True only when the path's attribute value is exactly 0 or exactly 32; see AttributeValue
// in path_queries.h for how POSIX file types and permissions map onto that value.
bool FileIsWritable(const std::string& path);

// Deletes slots 0 .. size-2 of pieceFiles in order; stops at the first failure with
// an error message. Returns false when a deletion failed.
bool DeletePieceFiles(OperationServices& host, const std::vector<std::string>& pieceFiles);

}  // namespace zirared
