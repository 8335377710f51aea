// The system half of the file layer on POSIX systems, both faces: the streams
// (file_streams.h) and the path queries (path_queries.h). The buffering is in file_streams.cpp.
#include <dirent.h>
#include <fcntl.h>
#include <limits.h>
#include <stdlib.h>
#include <sys/file.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/statvfs.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <limits>
#include <random>
#include <string_view>

#include "file_error.h"
#include "file_layer_system.h"
#include "file_streams.h"
#include "path_queries.h"
#include "path_separators.h"

namespace zirared {

namespace {

int Descriptor(std::intptr_t handle) {
    return static_cast<int>(handle);
}

// How OpenRegularForReading treats a path before opening it.
enum class Examine {
    // Examined first, so that a FIFO (which would block) or a device (whose opening may act
    // on it) is never opened at all.
    BeforeOpening,
    // Opened at once and examined through the descriptor only: for the files a join reads
    // whole, one call each. O_NONBLOCK keeps a FIFO's opening from waiting for a writer, and
    // nothing but a regular file is ever read.
    OnceOpen,
};

// Opens a regular file for reading, or returns -errno; status describes the open file. The
// open descriptor is always examined, since the path may change after a look at it.
int OpenRegularForReading(const std::string& path, int extraFlags, struct stat& status,
                          Examine examine = Examine::BeforeOpening) {
    if (examine == Examine::BeforeOpening) {
        if (::stat(path.c_str(), &status) != 0) {
            return -errno;
        }
        if (S_ISDIR(status.st_mode)) {
            return -EISDIR;
        }
        if (!S_ISREG(status.st_mode)) {
            return -kNotRegularFileNumber;
        }
    }
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY | extraFlags);
    if (fd < 0) {
        return -errno;
    }
    if (::fstat(fd, &status) != 0 || !S_ISREG(status.st_mode)) {
        const int error = S_ISDIR(status.st_mode) ? EISDIR : kNotRegularFileNumber;
        ::close(fd);
        return -error;
    }
    return fd;
}

int OpenRegularForReading(const std::string& path, int extraFlags) {
    struct stat status {};
    return OpenRegularForReading(path, extraFlags, status);
}

FileIdentity IdentityFrom(const struct stat& status) {
    return {static_cast<std::uint64_t>(status.st_dev), static_cast<std::uint64_t>(status.st_ino)};
}

// flock rather than fcntl locks: it works on a descriptor open for reading only, and two
// descriptors of the same process exclude each other as two processes do.
bool TryLockDescriptor(int fd) {
    return ::flock(fd, LOCK_EX | LOCK_NB) == 0;
}

// A descriptor of path's folder, to sync it; -1 with errno set when it cannot be opened.
int OpenFolderOf(const std::string& path) {
    const std::size_t nameStart = FileNameOffset(path);
    const std::string folder = nameStart == 0 ? "." : path.substr(0, nameStart);
    return ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
}

// A limit of the folder's file system; the system's usual one when the folder cannot be
// asked, none when it has none (-1).
long FolderLimit(const std::string& folder, int name, long usual) {
    errno = 0;
    const long limit = ::pathconf(folder.c_str(), name);
    return limit < 0 && errno != 0 ? usual : limit;
}

FileError OpenFailure(int error, const std::string& path) {
    return error == kNotRegularFileNumber ? NotRegularFileError(path)
                                          : SystemError(error, path, FileAction::Open);
}

}  // namespace

const int kFileShrankNumber = EIO;
const int kNothingAtPathNumber = ENOENT;

std::size_t ReadSome(std::intptr_t handle, char* into, std::size_t size, const std::string& path) {
    for (;;) {
        const ssize_t got = ::read(Descriptor(handle), into, size);
        if (got >= 0) {
            return static_cast<std::size_t>(got);
        }
        if (errno != EINTR) {
            throw SystemError(errno, path, FileAction::Read);
        }
    }
}

bool InputFile::OpenIfExists(const std::string& path) {
    Close();
    struct stat status {};
    const int result = OpenRegularForReading(path, 0, status, Examine::OnceOpen);
    if (result == -ENOENT || result == -ENOTDIR) {
        return false;
    }
    if (result < 0) {
        throw OpenFailure(-result, path);
    }
    m_handle = result;
    m_path = path;
    m_length = status.st_size;
    m_identity = IdentityFrom(status);
    return true;
}

void CloseForReading(std::intptr_t handle) {
    ::close(Descriptor(handle));
}

void OutputFile::CreateFor(const std::string& target, const FileAccess& access) {
    Discard();
    std::mt19937_64 random{std::random_device{}()};
    const mode_t mode = access.permissions & 0777;
    for (int attempt = 0;; ++attempt) {
        const std::string temporary = TemporaryNameFor(target, random);
        // Born no wider than asked (the umask may narrow it), then given the exact bits.
        const int fd =
            ::open(temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, mode);
        if (fd < 0) {
            if (errno != EEXIST || attempt == 100) {
                throw SystemError(errno, target, FileAction::Create);
            }
            continue;
        }
        if (access.owner && ::geteuid() == 0) {
            // Best effort, before the mode: a change of owner may clear bits.
            [[maybe_unused]] const int ignored =
                ::fchown(fd, access.owner->user, access.owner->group);
        }
        ::fchmod(fd, mode);  // best effort: some file systems have no modes
        // A run cleaning up may have taken the file for abandoned before it was locked: it
        // holds the lock then, or has removed the name. (Without locks on the file system,
        // nothing is ever taken for abandoned.)
        const bool taken = !TryLockDescriptor(fd) && errno == EWOULDBLOCK;
        struct stat created {};
        struct stat named {};
        if (!taken && ::fstat(fd, &created) == 0 && ::lstat(temporary.c_str(), &named) == 0 &&
            IdentityFrom(created) == IdentityFrom(named)) {
            m_handle = fd;
            m_target = target;
            m_temporaryPath = temporary;
            m_identity = IdentityFrom(created);
            return;
        }
        ::close(fd);
        if (attempt == 100) {
            throw SystemError(ENOENT, target, FileAction::Create);
        }
    }
}

void OutputFile::Commit(bool syncToDisk) {
    if (m_handle < 0) {
        return;
    }
    try {
        Flush();
        const int fd = Descriptor(m_handle);
        struct stat replaced {};
        const bool replacing = ::lstat(m_target.c_str(), &replaced) == 0;
        const bool synced = syncToDisk || replacing;
        if (synced && ::fsync(fd) != 0) {
            throw SystemError(errno, m_target, FileAction::Write);
        }
        // Renamed before it is closed: closing gives up the lock that tells the next run
        // this file is no leftover.
        if (::rename(m_temporaryPath.c_str(), m_target.c_str()) != 0) {
            throw SystemError(errno, m_target,
                              replacing ? FileAction::Replace : FileAction::Create);
        }
        m_temporaryPath.clear();
        m_handle = -1;
        if (::close(fd) != 0 && errno != EINTR && !synced) {
            // Data the system could not write: the new file (nothing stood there) goes.
            const int error = errno;
            RemoveIfSameFile(m_target, m_identity);
            throw SystemError(error, m_target, FileAction::Write);
        }
    } catch (...) {
        Discard();
        throw;
    }
    if (syncToDisk) {
        // The new name must survive a crash too.
        const int directory = OpenFolderOf(m_target);
        if (directory >= 0) {
            ::fsync(directory);
            ::close(directory);
        }
    }
}

void OutputFile::SyncToDisk() {
    Flush();
    if (m_handle >= 0 && ::fsync(Descriptor(m_handle)) != 0) {
        throw SystemError(errno, m_target, FileAction::Write);
    }
}

void OutputFile::Discard() {
    DropPending();
    if (m_handle >= 0) {
        ::close(Descriptor(m_handle));
        m_handle = -1;
    }
    if (!m_temporaryPath.empty()) {
        RemoveIfSameFile(m_temporaryPath, m_identity);
        m_temporaryPath.clear();
    }
}

void OutputFile::WriteAll(const char* data, std::size_t size) {
    while (size > 0) {
        const ssize_t written = ::write(Descriptor(m_handle), data, size);
        if (written < 0 && errno == EINTR) {
            continue;
        }
        if (written < 0) {
            throw SystemError(errno, m_target, FileAction::Write);
        }
        if (written == 0) {
            throw SystemError(ENOSPC, m_target, FileAction::Write);
        }
        data += written;
        size -= static_cast<std::size_t>(written);
    }
}

void OutputFile::WriteAt(std::int64_t offset, std::span<const char> bytes) {
    Flush();
    std::size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t written =
            ::pwrite(Descriptor(m_handle), bytes.data() + done, bytes.size() - done,
                     static_cast<off_t>(offset) + static_cast<off_t>(done));
        if (written < 0 && errno == EINTR) {
            continue;
        }
        if (written <= 0) {
            throw SystemError(written < 0 ? errno : ENOSPC, m_target, FileAction::Write);
        }
        done += static_cast<std::size_t>(written);
    }
}

std::optional<PathKind> KindOfPath(const std::string& path) {
    struct stat status {};
    if (::lstat(path.c_str(), &status) != 0) {
        return std::nullopt;
    }
    if (S_ISREG(status.st_mode)) {
        return PathKind::Regular;
    }
    if (S_ISDIR(status.st_mode)) {
        return PathKind::Directory;
    }
    return S_ISLNK(status.st_mode) ? PathKind::Link : PathKind::Special;
}

std::optional<std::string> ResolvedPath(const std::string& path) {
    char resolved[PATH_MAX];
    if (::realpath(path.c_str(), resolved) == nullptr) {
        return std::nullopt;
    }
    return std::string(resolved);
}

std::optional<FileIdentity> IdentityOf(const std::string& path) {
    struct stat status {};
    if (::stat(path.c_str(), &status) != 0) {
        return std::nullopt;
    }
    return IdentityFrom(status);
}

std::optional<FileAccess> AccessOf(const std::string& path) {
    struct stat status {};
    if (::stat(path.c_str(), &status) != 0) {
        return std::nullopt;
    }
    return FileAccess{static_cast<std::uint32_t>(status.st_mode & 0777),
                      FileOwner{static_cast<std::uint32_t>(status.st_uid),
                                static_cast<std::uint32_t>(status.st_gid)}};
}

std::optional<int> AttributeValue(const std::string& path) {
    struct stat status {};
    if (::stat(path.c_str(), &status) != 0) {
        return std::nullopt;
    }
    if (S_ISDIR(status.st_mode)) {
        return kAttributeDirectory;
    }
    int value = 0;
    struct statvfs fileSystem {};
    const bool readOnlyMount =
        ::statvfs(path.c_str(), &fileSystem) == 0 && (fileSystem.f_flag & ST_RDONLY) != 0;
    if ((status.st_mode & S_IWUSR) == 0 || readOnlyMount) {
        value += kAttributeReadOnly;
    }
    if (std::string_view(path).substr(FileNameOffset(path)).starts_with('.')) {
        value += kAttributeHidden;
    }
    value += S_ISREG(status.st_mode) ? kAttributeArchive : kAttributeSystem;
    return value;
}

std::optional<std::string> LeadingBytes(const std::string& path, std::size_t maxBytes) {
    if (KindOfPath(path) != PathKind::Regular) {
        return std::nullopt;
    }
    const int fd = OpenRegularForReading(path, O_NOFOLLOW);
    if (fd < 0) {
        return std::nullopt;
    }
    std::string bytes(maxBytes, '\0');
    std::size_t got = 0;
    while (got < maxBytes) {
        const ssize_t n = ::read(fd, bytes.data() + got, maxBytes - got);
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n <= 0) {
            break;
        }
        got += static_cast<std::size_t>(n);
    }
    ::close(fd);
    bytes.resize(got);
    return bytes;
}

std::optional<int> RemoveFile(const std::string& path) {
    if (::unlink(path.c_str()) != 0) {
        return errno;
    }
    return std::nullopt;
}

void RemoveIfSameFile(const std::string& path, const FileIdentity& identity) {
    // Another program could still put a file there between the lstat and the unlink: POSIX
    // has no unlink of a given inode, and that window is a few microseconds.
    struct stat status {};
    if (::lstat(path.c_str(), &status) == 0 && IdentityFrom(status) == identity) {
        ::unlink(path.c_str());
    }
}

void SyncFileSystemOf(const std::string& path) {
    const int directory = OpenFolderOf(path);
    if (directory < 0) {
        throw SystemError(errno, path, FileAction::Write);
    }
#ifdef __linux__
    // One sync of the file system writes the files out together, where a sync per file
    // waits for the disk once per file: about twice as fast for a split of 1 GiB.
    const bool synced = ::syncfs(directory) == 0 && ::fsync(directory) == 0;
#else
    ::sync();
    const bool synced = ::fsync(directory) == 0;
#endif
    const int error = errno;
    ::close(directory);
    if (!synced) {
        throw SystemError(error, path, FileAction::Write);
    }
}

std::int64_t OpenFileLimit() {
    struct rlimit limit {};
    if (::getrlimit(RLIMIT_NOFILE, &limit) != 0 || limit.rlim_cur == RLIM_INFINITY) {
        return std::numeric_limits<int>::max();
    }
    return static_cast<std::int64_t>(limit.rlim_cur);
}

FileLock::~FileLock() {
    if (m_handle != -1) {
        ::close(Descriptor(m_handle));  // releases the lock
    }
}

bool FileLock::TryLock(const std::string& path) {
    const int fd = OpenRegularForReading(path, 0);
    if (fd < 0) {
        return true;
    }
    if (!TryLockDescriptor(fd) && errno == EWOULDBLOCK) {
        ::close(fd);
        return false;
    }
    m_handle = fd;
    return true;
}

std::vector<std::string> NamesInFolder(const std::string& folder) {
    std::vector<std::string> names;
    DIR* const listing = ::opendir(folder.empty() ? "." : folder.c_str());
    if (listing == nullptr) {
        return names;
    }
    while (const dirent* entry = ::readdir(listing)) {
        const std::string_view name = entry->d_name;
        if (name != "." && name != "..") {
            names.emplace_back(name);
        }
    }
    ::closedir(listing);
    return names;
}

TemporaryState ExamineTemporaryFile(const std::string& path, bool removeAbandoned) {
    const int fd = OpenRegularForReading(path, O_NOFOLLOW);
    if (fd < 0) {
        return TemporaryState::NotOurs;
    }
    TemporaryState state = TemporaryState::InUse;
    struct stat status {};
    if (TryLockDescriptor(fd) && ::fstat(fd, &status) == 0) {
        state = TemporaryState::Abandoned;
        // Locked now: no run of ours can start writing it while it goes.
        if (removeAbandoned) {
            RemoveIfSameFile(path, IdentityFrom(status));
            state = TemporaryState::Removed;
        }
    }
    ::close(fd);
    return state;
}

bool OutputNamesFit(const std::string& target) {
    const std::size_t nameStart = FileNameOffset(target);
    const std::string folder = nameStart == 0 ? "." : target.substr(0, nameStart);
    const long nameMax = FolderLimit(folder, _PC_NAME_MAX, NAME_MAX);
    const long pathMax = FolderLimit(folder, _PC_PATH_MAX, PATH_MAX);
    const auto fits = [&](const std::string& path) {
        return (nameMax < 0 || path.size() - nameStart <= static_cast<std::size_t>(nameMax)) &&
               (pathMax < 0 || path.size() < static_cast<std::size_t>(pathMax));
    };
    std::mt19937_64 random{0};  // the tag's characters do not change the name's length
    return fits(target) && fits(TemporaryNameFor(target, random));
}

}  // namespace zirared
