#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <span>
#include <string>

namespace zirared {

// The platform's file layer; a port to another system replaces this module only. Failures
// throw FileError (file_error.h). The operations copy in small logical blocks, but system
// calls move whole chunks: a block is a view into the reader's chunk buffer, and the writer
// passes contiguous views to one write() without copying them.

inline constexpr std::size_t kChunkBytes = 1'024'000;  // 100 blocks of 10,240 bytes

class InputFile {
public:
    explicit InputFile(std::size_t chunkBytes = kChunkBytes);
    ~InputFile();
    InputFile(const InputFile&) = delete;
    InputFile& operator=(const InputFile&) = delete;

    // Throws when the path cannot be opened or names a directory.
    void Open(const std::string& path);
    // As Open, but a path that names no file returns false instead of throwing.
    bool OpenIfExists(const std::string& path);
    bool IsOpen() const { return m_fd >= 0; }
    void Close();

    // The length taken when the file was opened; reading stops there.
    std::int64_t Length() const { return m_length; }
    bool AtEnd() const { return m_position >= m_length; }

    // The next min(maxBytes, bytes left) bytes. The view stays valid until a call that
    // refills the buffer (see NextReadRefills) or Close. A file that turns out shorter than
    // its length throws EIO rather than ending early.
    std::span<const char> Read(std::size_t maxBytes);
    // As Read, without consuming the bytes.
    std::span<const char> Peek(std::size_t maxBytes);
    // True when the next Read(maxBytes) invalidates the views handed out so far.
    bool NextReadRefills(std::size_t maxBytes) const;

private:
    std::size_t Wanted(std::size_t maxBytes) const;
    void Fill(std::size_t wanted);

    std::unique_ptr<char[]> m_buffer;
    std::size_t m_capacity;
    std::size_t m_begin = 0;  // unconsumed bytes are m_buffer[m_begin, m_end)
    std::size_t m_end = 0;
    int m_fd = -1;
    std::int64_t m_length = 0;
    std::int64_t m_position = 0;      // bytes consumed by Read
    std::int64_t m_filePosition = 0;  // bytes read from the system
};

class OutputFile {
public:
    OutputFile() = default;
    ~OutputFile();
    OutputFile(const OutputFile&) = delete;
    OutputFile& operator=(const OutputFile&) = delete;

    // Creates the file, replacing any file of that name; its old content does not survive.
    void Create(const std::string& path);
    bool IsOpen() const { return m_fd >= 0; }
    // Writes at once (after what is pending).
    void Write(std::span<const char> bytes);
    // Queues a view that must stay valid until the next Flush, Write or Close; a view that
    // continues the pending one is merged with it, so one write() carries them all.
    void Append(std::span<const char> view);
    void Flush();
    // Flushes and closes; throws on failure (a full disk may show only here).
    void Close();
    // Closes without flushing and ignores every error: for the failure trap.
    void Abandon();

private:
    void WriteAll(const char* data, std::size_t size);

    int m_fd = -1;
    const char* m_pending = nullptr;
    std::size_t m_pendingSize = 0;
};

// Device and inode: two paths name the same file when these match.
struct FileIdentity {
    std::uint64_t device = 0;
    std::uint64_t inode = 0;
    bool operator==(const FileIdentity&) const = default;
};
// Empty when nothing exists at the path (symbolic links are followed).
std::optional<FileIdentity> IdentityOf(const std::string& path);

// The classic attribute bits, as this platform maps them.
inline constexpr int kAttributeReadOnly = 1;    // no owner write permission, or a read-only mount
inline constexpr int kAttributeHidden = 2;      // the name starts with "."
inline constexpr int kAttributeSystem = 4;      // not a regular file: device, FIFO, socket
inline constexpr int kAttributeDirectory = 16;  // alone: nothing else is added
inline constexpr int kAttributeArchive = 32;    // a regular file, the normal state of a file

// The classic attribute value of a path: the bits above, added. -1 when the path cannot be
// examined.
int AttributeValue(const std::string& path);

// True when the path opens for reading and is not a directory; never throws, never blocks.
bool CanOpenForReading(const std::string& path);

// Removes the file at path; never a directory. Returns 0 or the system's error code.
int RemoveFile(const std::string& path);

}  // namespace zirared
