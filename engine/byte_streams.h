#pragma once

#include <cstddef>
#include <optional>
#include <span>

namespace zirared {

// The data of an operation when it comes from, or goes to, a stream rather than a named file:
// what a split of a stream reads (stream_split.h) and where a join sends the rebuilt bytes
// (assemble_file.h). standard_streams.h gives the process's standard input and output; tests
// give bytes in memory.

class ByteSource {
public:
    virtual ~ByteSource() = default;

    // Up to size bytes into into; 0 at the end of the stream; none when a signal interrupted
    // the wait, so that the caller can look at its stop flag before it asks again. Throws
    // FileError (file_error.h).
    virtual std::optional<std::size_t> ReadSome(char* into, std::size_t size) = 0;
};

// What a sink throws when the stream takes no more bytes (a reader that went away, a full
// disk behind a redirection): the system's code. It is not a FileError, since no file of
// the user's is concerned: the host that gave the sink reports it, knowing the stream by the
// name it has there.
struct OutputLost {
    int number = 0;
};

// Also the base of OutputFile (file_streams.h), which shares its queue of pending views.
class ByteSink {
public:
    virtual ~ByteSink() = default;

    // Queues a view that must stay valid until the next Flush; a view that continues the
    // pending one is merged with it, so that one write carries them all.
    void Append(std::span<const char> view);
    // Writes what is pending; throws what WriteAll throws.
    void Flush();

protected:
    // Writes every byte or throws: OutputLost for a stream, FileError for a file.
    virtual void WriteAll(const char* data, std::size_t size) = 0;
    // Forgets what is pending, unwritten.
    void DropPending() {
        m_pending = nullptr;
        m_pendingSize = 0;
    }

private:
    const char* m_pending = nullptr;
    std::size_t m_pendingSize = 0;
};

}  // namespace zirared
