#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace zirared {

// The file layer's questions about paths: what stands at a path, its identity, access and
// attributes, its first bytes, and the removals. Reading and writing files is the other face
// (file_streams.h). A port to another system supplies both in its system half
// (file_layer_posix.cpp, file_layer_windows.cpp).
//
// Errors: nothing here throws. Each function answers with a value, or with std::optional
// where there may be no answer: std::nullopt when nothing stands at the path or the path
// cannot be examined. RemoveFile is the one that tells why: the system's error code when the
// file is still there, std::nullopt once it is gone. The removals that tidy up after a run
// are best effort and report nothing.

// Device and inode: two paths name the same file when these match.
struct FileIdentity {
    std::uint64_t device = 0;
    std::uint64_t inode = 0;
    bool operator==(const FileIdentity&) const = default;
};

// What a new file takes from the file it stands for (the source of a split, the file a join
// replaces): its rwx bits, never setuid, setgid or sticky, and the owner and group, which
// only a process running as root can keep (best effort).
struct FileOwner {
    std::uint32_t user = 0;
    std::uint32_t group = 0;
};
struct FileAccess {
    std::uint32_t permissions = 0600;  // private unless told otherwise
    std::optional<FileOwner> owner;
};
// The access of the file at path (links followed). On Windows, where a new file takes its
// folder's rules, always the default.
std::optional<FileAccess> AccessOf(const std::string& path);

// What stands at a path, a final symbolic link not followed.
enum class PathKind {
    Regular,
    Directory,
    Link,     // a symbolic link, whatever it leads to
    Special,  // a FIFO, socket or device
};
std::optional<PathKind> KindOfPath(const std::string& path);

// The absolute path the symbolic links at path lead to; none when they lead nowhere. A path
// without links comes back as it is, made absolute.
std::optional<std::string> ResolvedPath(const std::string& path);

// Symbolic links are followed.
std::optional<FileIdentity> IdentityOf(const std::string& path);

// The classic attribute bits, as this platform maps them.
inline constexpr int kAttributeReadOnly = 1;    // no owner write permission, or a read-only mount
inline constexpr int kAttributeHidden = 2;      // the name starts with "."
inline constexpr int kAttributeSystem = 4;      // not a regular file: device, FIFO, socket
inline constexpr int kAttributeDirectory = 16;  // alone: nothing else is added
inline constexpr int kAttributeArchive = 32;    // a regular file, the normal state of a file

// The classic attribute value of a path (links followed): the bits above, added.
std::optional<int> AttributeValue(const std::string& path);

// The first bytes (at most maxBytes; fewer when the file is shorter or a read fails) of the
// regular file at path, a final link not followed; none when path is anything else or
// cannot be opened. Never blocks.
std::optional<std::string> LeadingBytes(const std::string& path, std::size_t maxBytes);

// Removes the file or link at path; never a directory. The system's error code when the
// file stays, none once it is gone.
std::optional<int> RemoveFile(const std::string& path);

// Removes the file at path (a final link not followed) only while it is still the file
// identified, so a file another program put there since is left alone.
void RemoveIfSameFile(const std::string& path, const FileIdentity& identity);

// The temporary files OutputFile made for the targets (all in one folder) that are still
// there: a locked one is being written, a free one was left by a run that died. A folder
// that cannot be listed shows none.
struct TemporaryFile {
    std::string path;
    bool inUse = false;
};
std::vector<TemporaryFile> TemporaryFilesOf(const std::vector<std::string>& targets);
// Removes those temporary files whose lock is free, each only while still the file found
// free.
void RemoveAbandonedTemporaryFiles(const std::vector<std::string>& targets);

// True when the folder of target takes both names an OutputFile for target writes there: the
// target's and the temporary one beside it. Each name must stay within the longest name the
// folder's file system allows (POSIX: pathconf's _PC_NAME_MAX, in bytes; Windows: 255 UTF-16
// units, the limit of NTFS, FAT and exFAT alike) and each path within the longest path
// (POSIX: _PC_PATH_MAX with its final NUL; Windows: the 32,767 units of a \\?\ path, as
// long paths are written that way and the classic 260 does not apply). A folder that cannot
// be asked is held to the system's usual limits.
bool OutputNamesFit(const std::string& target);

}  // namespace zirared
