#pragma once

#include <cstddef>
#include <optional>

#include "byte_streams.h"

namespace zirared {

// The process's standard input and output as byte streams, for pipes: `tar c dir |
// zirared-cli split ...` and `zirared-cli join ... | tar x`. Part of the file layer: the
// system calls are in standard_streams_posix.cpp and standard_streams_windows.cpp (the
// handles through Win32, so no C runtime translates a byte). Whether a stream is a terminal
// is the host's question (a terminal is no place for these bytes).

class StandardInput final : public ByteSource {
public:
    // A failure to read throws FileError naming the standard input.
    std::optional<std::size_t> ReadSome(char* into, std::size_t size) override;
};

class StandardOutput final : public ByteSink {
public:
    // The system's code of the write that failed: once lost, the output takes nothing more.
    std::optional<int> Lost() const { return m_lost; }

protected:
    void WriteAll(const char* data, std::size_t size) override;

private:
    std::optional<int> m_lost;
};

// Lets the process hold count files open at once where the system counts them against a
// soft limit (best effort): a split of a stream keeps every piece open until the input ends.
void AllowOpenFiles(std::size_t count);

}  // namespace zirared
