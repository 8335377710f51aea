#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace zirared {

// What file_layer.cpp (the buffering that every system shares) needs from the system's half
// (file_layer_posix.cpp or file_layer_windows.cpp).

// Reads up to size bytes at the handle's position, retrying interrupted calls; 0 at the end
// of the file. Throws FileError naming path.
std::size_t ReadSome(std::intptr_t handle, char* into, std::size_t size, const std::string& path);

// The error code for a file that ended before the length it had when it was opened.
extern const int kFileShrankNumber;

}  // namespace zirared
