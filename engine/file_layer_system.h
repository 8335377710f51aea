#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

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

// Where the file name starts in path, after its folder.
std::size_t FileNameStart(const std::string& path);

// The names in folder ("" for the current one), without "." and ".."; empty when it cannot
// be listed.
std::vector<std::string> NamesInFolder(const std::string& folder);

// What a file named like one of our temporary files turns out to be. Examining never
// blocks and never follows a link.
enum class TemporaryState {
    NotOurs,    // gone, or not a regular file
    InUse,      // its writer holds the lock (or the lock cannot be tried)
    Abandoned,  // the lock is free
    Removed,    // abandoned, and removed as asked
};
TemporaryState ExamineTemporaryFile(const std::string& path, bool removeAbandoned);

}  // namespace zirared
