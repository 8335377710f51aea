#pragma once

#include <ostream>

#include "check_piece_set.h"

namespace zirared {

// Writes the report of a set check for a person to read: every problem, every note, then
// the file that an assembly would rebuild.
void PrintSetCheckReport(const SetCheckReport& report, std::ostream& output);

}  // namespace zirared
