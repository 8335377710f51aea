#pragma once

#include <cstdint>
#include <string>

#include "operation_outcome.h"
#include "operation_services.h"

namespace zirared {

// Cuts the file at fileName (UTF-8 path) into a piece set beside it, pieces of
// filesizeKB × 1024 data bytes each. Every outcome is reported through the host.
Outcome SplitFile(OperationServices& host, const std::string& fileName, std::int32_t filesizeKB);

}  // namespace zirared
