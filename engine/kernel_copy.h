#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>

namespace zirared {

// Copying inside the system: the bytes go from one open file to another without passing
// through this process. Used only where the program does not look at the bytes (no digest
// to write or verify); the streams (InputFile::CopyTo) fall back to reading and writing
// wherever this declines.

// How much one copy inside the system moves at most: large enough that the system calls
// cost nothing next to the data, small enough that progress, Stop and signals are looked at
// every few milliseconds even on a slow disk.
inline constexpr std::size_t kKernelCopyBytes = std::size_t{4} << 20;

// The block a file system shares between files; a copy inside the system is tried only from
// and to positions that are whole numbers of it.
inline constexpr std::int64_t kKernelCopyBlock = 4096;

// Copies up to size bytes from the reading handle's position to the writing handle's,
// advancing both; the count copied, never 0. Nothing where the system will not or should not:
// positions off a block boundary, another file system, a kernel or file system without the
// call, a system without one (Windows), a file that ends early, and any failure at all. The caller
// then reads and writes the same bytes itself, so that a real failure is met there and told with
// the file it concerns.
std::optional<std::size_t> CopyInsideSystem(std::intptr_t from, std::intptr_t to, std::size_t size);

}  // namespace zirared
