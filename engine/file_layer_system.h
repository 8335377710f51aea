#pragma once

#include <cstddef>
#include <cstdint>
#include <random>
#include <string>

namespace zirared {

// What file_layer.cpp (the buffering that every system shares) needs from the system's half
// (file_layer_posix.cpp or file_layer_windows.cpp).

// Reads up to size bytes at the handle's position, retrying interrupted calls; 0 at the end
// of the file. Throws FileError naming path.
std::size_t ReadSome(std::intptr_t handle, char* into, std::size_t size, const std::string& path);

// Closes a handle opened for reading; nothing was written, so a close error loses nothing.
void CloseForReading(std::intptr_t handle);

// The error code for a file that ended before the length it had when it was opened, and
// the one for a path that names nothing.
extern const int kFileShrankNumber;
extern const int kNothingAtPathNumber;

// A name nobody else uses, beside target (whose file name starts at nameStart): hidden,
// and marked as ours should a crash leave it behind.
std::string TemporaryNameFor(const std::string& target, std::size_t nameStart,
                             std::mt19937_64& random);

}  // namespace zirared
