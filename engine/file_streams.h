#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <span>
#include <string>

#include "byte_streams.h"
#include "path_queries.h"

namespace zirared {

// The file layer's streams: files opened, read, written and committed. The questions about
// paths are the other face (path_queries.h). The buffering (file_streams.cpp) is shared, and
// a port to another system supplies only its system half (as file_layer_posix.cpp and
// file_layer_windows.cpp do). The operations copy in small logical blocks, but system calls
// move whole chunks: a block is a view into the reader's chunk buffer, and the writer passes
// contiguous views to one write() without copying them.
//
// Errors: every failure throws FileError (file_error.h), which names the file concerned. A
// bool answers a question (was a file there, was the lock free) and never stands for a
// failure; Discard and the destructors never throw.

inline constexpr std::size_t kChunkBytes = 1'024'000;  // 100 blocks of 10,240 bytes

// How many chunk buffers a reader fills in turn. With two, a refill leaves the views into
// the chunk before intact, so a hash running behind the copy need not hold the copy up.
enum class ReadBuffers { One = 1, Two = 2 };

class OutputFile;

class InputFile {
public:
    explicit InputFile(std::size_t chunkBytes = kChunkBytes,
                       ReadBuffers buffers = ReadBuffers::One);
    ~InputFile();
    InputFile(const InputFile&) = delete;
    InputFile& operator=(const InputFile&) = delete;

    // Only regular files are read: a directory, FIFO, socket or device throws at once, and
    // opening never blocks. One open and one look at the open file: nothing else is asked.
    void Open(const std::string& path);
    // As Open, but a path that names nothing returns false instead of throwing.
    bool OpenIfExists(const std::string& path);
    bool IsOpen() const;
    void Close();

    // Takes over other's open file where other stands in it; other's bytes read must all
    // have been consumed. other is left closed.
    void TakeOver(InputFile& other);

    // The length taken when the file was opened; reading stops there.
    std::int64_t Length() const { return m_length; }
    // The open file's, taken when it was opened.
    const FileIdentity& Identity() const { return m_identity; }
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

    // Consumes the next min(maxBytes, bytes left) bytes as Read does, by appending them to
    // output, and returns how many. Where the system can, they never pass through this
    // process (kernel_copy.h); a call that finds too few copied ahead copies a chunk of up to
    // kKernelCopyBytes, but never more than reach bytes from the position, so that a caller
    // taking a block at a time keeps its rhythm while the system moves large chunks. Bytes
    // copied ahead belong to output: Read, Peek or a CopyTo into another file only once
    // they have been consumed.
    std::size_t CopyTo(OutputFile& output, std::size_t maxBytes, std::int64_t reach);

private:
    std::size_t Wanted(std::size_t maxBytes) const;
    void Fill(std::size_t wanted);
    std::size_t CopyAhead(OutputFile& output, std::size_t maxBytes);
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
    std::int64_t m_filePosition = 0;  // bytes read from the system, or copied by it
    std::int64_t m_copiedAhead = 0;   // bytes in CopyTo's output past the position
    bool m_systemCopies = true;       // false once the system has declined a copy
    FileIdentity m_identity;
};

// A file written under a temporary name in its target's folder and put in place whole:
// whatever stands at the target stays untouched until Commit, and an OutputFile destroyed
// or discarded before Commit leaves nothing behind.
class OutputFile : public ByteSink {
public:
    OutputFile() = default;
    ~OutputFile() override;
    OutputFile(const OutputFile&) = delete;
    OutputFile& operator=(const OutputFile&) = delete;

    // Creates a new, empty file under a fresh name beside target, born with access's
    // permission bits exactly (whatever the umask) and, as root, its owner. The file stays
    // locked while open, so the next run can tell it from one a dead run left behind
    // (RemoveAbandonedTemporaryFiles). Errors name target.
    void CreateFor(const std::string& target, const FileAccess& access = {});
    bool IsOpen() const;
    // The file created: after Commit, the one at the target.
    const FileIdentity& Identity() const { return m_identity; }
    // Writes at once (after what is pending).
    void Write(std::span<const char> bytes);
    // Append and Flush (ByteSink): a queued view must stay valid until the next Flush,
    // Write, Commit or Discard.
    // Writes what is pending, then bytes at offset from the start of the file, over what is
    // there; the writes that follow go on where the file ends, as before.
    void WriteAt(std::int64_t offset, std::span<const char> bytes);
    // Writes what is pending and puts the data on disk, under the temporary name still: the
    // long wait of a Commit(true), done first where the caller must still be able to give up.
    void SyncToDisk();
    // Writes what is pending, syncs the file to disk (always when syncToDisk, and whenever
    // something stands at the target; otherwise SyncFileSystemOf does it for many files at
    // once) and renames it to the target, replacing a file or a symbolic link there (never
    // a folder). Throws on failure; the temporary file is then removed.
    void Commit(bool syncToDisk);
    // Closes and removes the unfinished file; never throws.
    void Discard();

private:
    friend class InputFile;  // InputFile::CopyTo hands the handle to the system

    void WriteAll(const char* data, std::size_t size) override;

    std::intptr_t m_handle = -1;
    std::string m_target;
    std::string m_temporaryPath;
    FileIdentity m_identity;
};

// Puts on disk the data and names written to the file system that holds path's folder: one
// call after many Commit(false) costs far less than a sync per file. Throws naming path. On
// Windows, where a user cannot sync a volume, Commit syncs every file itself instead.
void SyncFileSystemOf(const std::string& path);

// How many files this process may hold open at once.
std::int64_t OpenFileLimit();

// An advisory lock two runs of the program take on the same file to keep out of each other's
// way; the system drops it when its holder ends, however it ends.
//
// Whether a file this run holds locked can still be replaced by a rename: on Windows a file
// held open cannot, so there only files the operation never replaces are locked.
#ifdef _WIN32
inline constexpr bool kLockedFileCanBeReplaced = false;
#else
inline constexpr bool kLockedFileCanBeReplaced = true;
#endif
class FileLock {
public:
    FileLock() = default;
    ~FileLock();
    FileLock(const FileLock&) = delete;
    FileLock& operator=(const FileLock&) = delete;

    // Takes the lock on the regular file at path without waiting, until destruction. False
    // only when another holds it: a path that cannot be opened, or a file system without
    // locks, guards nothing, and the operation meets the problem on its own.
    bool TryLock(const std::string& path);

private:
    std::intptr_t m_handle = -1;
};

// The refusal when another run holds the lock on path.
std::string InUseText(const std::string& path);

}  // namespace zirared
