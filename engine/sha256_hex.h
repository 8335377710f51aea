#pragma once

#include <string>

#include "sha256_hasher.h"

namespace zirared {

// 64 lowercase hexadecimal digits, as sha256sum prints them.
std::string HexOf(const Sha256Digest& digest);

}  // namespace zirared
