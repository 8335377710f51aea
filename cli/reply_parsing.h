#pragma once

#include <optional>
#include <string_view>

#include "operation_services.h"

namespace zirared {

// Reads a typed answer to a yes/no question: s, si, sì, y, yes for Yes and n, no for No,
// in any letter case and with surrounding blanks. Anything else gives no answer.
std::optional<Answer> ParseReply(std::string_view reply);

}  // namespace zirared
