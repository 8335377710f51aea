#pragma once

#include <cstddef>
#include <cstdint>
#include <random>
#include <string>
#include <vector>

namespace zirared {

// What the shared half of the file layer (file_streams.cpp, temporary_files.cpp) needs from
// the system's half (file_layer_posix.cpp or file_layer_windows.cpp), and the one thing it
// gives the system's half in return (TemporaryNameFor).

// Reads up to size bytes at the handle's position, retrying interrupted calls; 0 at the end
// of the file. Throws FileError naming path.
std::size_t ReadSome(std::intptr_t handle, char* into, std::size_t size, const std::string& path);

// Closes a handle opened for reading; nothing was written, so a close error loses nothing.
void CloseForReading(std::intptr_t handle);

// The error code for a file that ended before the length it had when it was opened, and
// the one for a path that names nothing.
extern const int kFileShrankNumber;
extern const int kNothingAtPathNumber;

// A name nobody else uses, beside target: hidden, and marked as ours should a crash leave it
// behind (temporary_files.cpp).
std::string TemporaryNameFor(const std::string& target, std::mt19937_64& random);

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
