#pragma once

#include <cstdint>
#include <string>

#include "byte_streams.h"
#include "operation_outcome.h"
#include "operation_services.h"

namespace zirared {

// Cuts what input gives, up to its end, into the piece set of name (UTF-8 path of the file the
// set rebuilds; the pieces go in its folder), pieces of filesizeKB × 1024 data bytes each, as
// a split of a file of that name would (split_file.h). The piece count is known only when the
// input ends, so every piece stays open under a temporary name until then; the count is then
// written into every header, the pieces are put on disk and take their names.
// Before the input is read it refuses a name the pieces cannot be named after or that is too
// long for the folder, and any file at a piece's name (000 to 998) that the user does not
// agree to replace; pieces of an earlier split of the same name are replaced without asking.
// Once the input has ended it refuses, with nothing left, an input no larger than one piece or
// one that starts with "VAVOVOZ"; an input that needs more than 999 pieces fails as soon as it
// does. A stop, an end or a failure before the last piece takes its name leaves nothing it
// wrote. A digest list an earlier split of name wrote is removed: it no longer describes the
// pieces. No list is written: its digests cover the headers, complete only at the end.
// The pieces are private (0600): nothing tells who may read what came through a pipe.
Outcome SplitStream(OperationServices& host, ByteSource& input, const std::string& name,
                    std::int32_t filesizeKB);

}  // namespace zirared
