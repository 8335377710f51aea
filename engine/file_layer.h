#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <span>
#include <string>

namespace zirared {

// The platform's file layer: the buffering (file_layer.cpp) is shared, and a port to another
// system supplies only its system half (as file_layer_posix.cpp and file_layer_windows.cpp do).
// Failures throw FileError (file_error.h), which names the file concerned; queries never throw.
// The operations copy in small logical blocks, but system calls move whole chunks: a block
// is a view into the reader's chunk buffer, and the writer passes contiguous views to one
// write() without copying them.

inline constexpr std::size_t kChunkBytes = 1'024'000;  // 100 blocks of 10,240 bytes

// How many chunk buffers a reader fills in turn. With two, a refill leaves the views into
// the chunk before intact, so a hash running behind the copy need not hold the copy up.
enum class ReadBuffers { One = 1, Two = 2 };

class InputFile {
public:
    explicit InputFile(std::size_t chunkBytes = kChunkBytes,
                       ReadBuffers buffers = ReadBuffers::One);
    ~InputFile();
    InputFile(const InputFile&) = delete;
    InputFile& operator=(const InputFile&) = delete;

    // Only regular files are read: a directory, FIFO, socket or device throws at once, and
    // opening never blocks.
    void Open(const std::string& path);
    // As Open, but a path that names nothing returns false instead of throwing.
    bool OpenIfExists(const std::string& path);
    bool IsOpen() const;
    void Close();

    // The length taken when the file was opened; reading stops there.
    std::int64_t Length() const { return m_length; }
    bool AtEnd() const { return m_position >= m_length; }

    // The next min(maxBytes, bytes left) bytes. The view stays valid until the buffer it
    // points into is refilled (see NextReadRefills and BufferToRefill); Close and Open leave
    // the buffers as they are. A file that turns out shorter than its length throws EIO
    // rather than ending early.
    std::span<const char> Read(std::size_t maxBytes);
    // As Read, without consuming the bytes.
    std::span<const char> Peek(std::size_t maxBytes);
    // True when the next Read(maxBytes) refills a buffer: the views into BufferToRefill()
    // are then no longer valid.
    bool NextReadRefills(std::size_t maxBytes) const;
    // The buffer the next refill overwrites: with one buffer the current one, with two the
    // one filled before it.
    std::span<const char> BufferToRefill() const;

private:
    std::size_t Wanted(std::size_t maxBytes) const;
    void Fill(std::size_t wanted);
    char* Current() const { return m_buffers[m_current].get(); }

    std::unique_ptr<char[]> m_buffers[2];
    std::size_t m_bufferCount;
    std::size_t m_current = 0;  // the buffer m_begin and m_end index
    std::size_t m_capacity;
    std::size_t m_begin = 0;  // unconsumed bytes are Current()[m_begin, m_end)
    std::size_t m_end = 0;
    std::intptr_t m_handle = -1;  // a descriptor, or a HANDLE on Windows
    std::string m_path;           // for the messages
    std::int64_t m_length = 0;
    std::int64_t m_position = 0;      // bytes consumed by Read
    std::int64_t m_filePosition = 0;  // bytes read from the system
};

// A file written under a temporary name in its target's folder and put in place whole:
// whatever stands at the target stays untouched until Commit, and an OutputFile destroyed
// or discarded before Commit leaves nothing behind.
class OutputFile {
public:
    OutputFile() = default;
    ~OutputFile();
    OutputFile(const OutputFile&) = delete;
    OutputFile& operator=(const OutputFile&) = delete;

    // Creates a new, empty file under a fresh name beside target. Errors name target.
    void CreateFor(const std::string& target);
    bool IsOpen() const;
    // Writes at once (after what is pending).
    void Write(std::span<const char> bytes);
    // Queues a view that must stay valid until the next Flush, Write, Commit or Discard; a
    // view that continues the pending one is merged with it, so one write() carries them all.
    void Append(std::span<const char> view);
    void Flush();
    // Writes what is pending, syncs the file to disk (always when syncToDisk, and whenever
    // something stands at the target), gives it the permission bits of the file it replaces,
    // and renames it to the target, replacing a file or a symbolic link there (never a
    // folder). Throws on failure; the temporary file is then removed.
    void Commit(bool syncToDisk);
    // Closes and removes the unfinished file; never throws.
    void Discard();

private:
    void WriteAll(const char* data, std::size_t size);

    std::intptr_t m_handle = -1;
    std::string m_target;
    std::string m_temporaryPath;
    const char* m_pending = nullptr;
    std::size_t m_pendingSize = 0;
};

// What stands at a path, a final symbolic link not followed.
enum class PathKind {
    Nothing,
    Regular,
    Directory,
    Link,     // a symbolic link, whatever it leads to
    Special,  // a FIFO, socket or device
};
PathKind KindOfPath(const std::string& path);

// The absolute path the symbolic links at path lead to; empty when they lead nowhere or
// the path cannot be examined. A path without links comes back as it is, made absolute.
std::optional<std::string> ResolvedPath(const std::string& path);

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

// The classic attribute value of a path (links followed): the bits above, added. -1 when
// the path cannot be examined.
int AttributeValue(const std::string& path);

// The first bytes (at most maxBytes) of the regular file at path, a final link not
// followed; empty when path is anything else or cannot be read. Never blocks.
std::string LeadingBytes(const std::string& path, std::size_t maxBytes);

// Removes the file or link at path; never a directory. Returns 0 or the system's error code.
int RemoveFile(const std::string& path);

// True when the folder of target takes both names an OutputFile for target writes there: the
// target's and the temporary one beside it. Each name must stay within the longest name the
// folder's file system allows (POSIX: pathconf's _PC_NAME_MAX, in bytes; Windows: 255 UTF-16
// units, the limit of NTFS, FAT and exFAT alike) and each path within the longest path
// (POSIX: _PC_PATH_MAX with its final NUL; Windows: the 32,767 units of a \\?\ path, as
// long paths are written that way and the classic 260 does not apply). A folder that cannot
// be asked is held to the system's usual limits. Never throws.
bool OutputNamesFit(const std::string& target);

}  // namespace zirared
