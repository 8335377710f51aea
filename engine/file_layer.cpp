#include "file_layer.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <sys/statvfs.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>

#include "file_error.h"

namespace zirared {
namespace {

std::string FileNameOf(const std::string& path) {
    const auto slash = path.find_last_of('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

// Opens for reading; a directory is refused, as a file chooser would never return one.
int OpenForReading(const std::string& path, int extraFlags) {
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | extraFlags);
    if (fd < 0) {
        return -errno;
    }
    struct stat status {};
    if (::fstat(fd, &status) != 0 || S_ISDIR(status.st_mode)) {
        const int error = S_ISDIR(status.st_mode) ? EISDIR : errno;
        ::close(fd);
        return -error;
    }
    return fd;
}

}  // namespace

InputFile::InputFile(std::size_t chunkBytes)
    : m_buffer(std::make_unique<char[]>(chunkBytes)), m_capacity(chunkBytes) {}

InputFile::~InputFile() {
    Close();
}

void InputFile::Open(const std::string& path) {
    if (!OpenIfExists(path)) {
        throw SystemError(ENOENT);
    }
}

bool InputFile::OpenIfExists(const std::string& path) {
    Close();
    const int result = OpenForReading(path, 0);
    if (result == -ENOENT || result == -ENOTDIR) {
        return false;
    }
    if (result < 0) {
        throw SystemError(-result);
    }
    struct stat status {};
    ::fstat(result, &status);
    m_fd = result;
    m_length = status.st_size;
    return true;
}

void InputFile::Close() {
    if (m_fd >= 0) {
        ::close(m_fd);  // nothing was written: a close error loses nothing
        m_fd = -1;
    }
    m_begin = m_end = 0;
    m_length = m_position = m_filePosition = 0;
}

std::size_t InputFile::Wanted(std::size_t maxBytes) const {
    const auto left = static_cast<std::uint64_t>(m_length - m_position);
    return static_cast<std::size_t>(std::min<std::uint64_t>({maxBytes, m_capacity, left}));
}

bool InputFile::NextReadRefills(std::size_t maxBytes) const {
    return m_end - m_begin < Wanted(maxBytes);
}

std::span<const char> InputFile::Peek(std::size_t maxBytes) {
    const std::size_t wanted = Wanted(maxBytes);
    if (m_end - m_begin < wanted) {
        Fill(wanted);
    }
    return {m_buffer.get() + m_begin, wanted};
}

std::span<const char> InputFile::Read(std::size_t maxBytes) {
    const auto bytes = Peek(maxBytes);
    m_begin += bytes.size();
    m_position += static_cast<std::int64_t>(bytes.size());
    return bytes;
}

void InputFile::Fill(std::size_t wanted) {
    std::memmove(m_buffer.get(), m_buffer.get() + m_begin, m_end - m_begin);
    m_end -= m_begin;
    m_begin = 0;
    while (m_end < m_capacity && m_filePosition < m_length) {
        const auto left = static_cast<std::uint64_t>(m_length - m_filePosition);
        const auto request =
            static_cast<std::size_t>(std::min<std::uint64_t>(m_capacity - m_end, left));
        const ssize_t got = ::read(m_fd, m_buffer.get() + m_end, request);
        if (got < 0 && errno == EINTR) {
            continue;
        }
        if (got < 0) {
            throw SystemError(errno);
        }
        if (got == 0) {
            break;
        }
        m_end += static_cast<std::size_t>(got);
        m_filePosition += got;
    }
    if (m_end < wanted) {
        throw SystemError(EIO);  // the file shrank while it was being read
    }
}

OutputFile::~OutputFile() {
    Abandon();
}

void OutputFile::Create(const std::string& path) {
    Abandon();
    const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
    if (fd < 0) {
        throw SystemError(errno);
    }
    m_fd = fd;
}

void OutputFile::Write(std::span<const char> bytes) {
    Flush();
    WriteAll(bytes.data(), bytes.size());
}

void OutputFile::Append(std::span<const char> view) {
    if (view.empty()) {
        return;
    }
    if (m_pendingSize > 0 && m_pending + m_pendingSize == view.data()) {
        m_pendingSize += view.size();
        return;
    }
    Flush();
    m_pending = view.data();
    m_pendingSize = view.size();
}

void OutputFile::Flush() {
    if (m_pendingSize > 0) {
        const char* data = m_pending;
        const std::size_t size = m_pendingSize;
        m_pending = nullptr;
        m_pendingSize = 0;
        WriteAll(data, size);
    }
}

void OutputFile::Close() {
    if (m_fd < 0) {
        return;
    }
    Flush();
    const int fd = m_fd;
    m_fd = -1;
    if (::close(fd) != 0 && errno != EINTR) {
        throw SystemError(errno);
    }
}

void OutputFile::Abandon() {
    m_pending = nullptr;
    m_pendingSize = 0;
    if (m_fd >= 0) {
        ::close(m_fd);
        m_fd = -1;
    }
}

void OutputFile::WriteAll(const char* data, std::size_t size) {
    while (size > 0) {
        const ssize_t written = ::write(m_fd, data, size);
        if (written < 0 && errno == EINTR) {
            continue;
        }
        if (written < 0) {
            throw SystemError(errno);
        }
        if (written == 0) {
            throw SystemError(ENOSPC);
        }
        data += written;
        size -= static_cast<std::size_t>(written);
    }
}

std::optional<FileIdentity> IdentityOf(const std::string& path) {
    struct stat status {};
    if (::stat(path.c_str(), &status) != 0) {
        return std::nullopt;
    }
    return FileIdentity{static_cast<std::uint64_t>(status.st_dev),
                        static_cast<std::uint64_t>(status.st_ino)};
}

int AttributeValue(const std::string& path) {
    struct stat status {};
    if (::stat(path.c_str(), &status) != 0) {
        return -1;
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
    if (FileNameOf(path).starts_with('.')) {
        value += kAttributeHidden;
    }
    value += S_ISREG(status.st_mode) ? kAttributeArchive : kAttributeSystem;
    return value;
}

bool CanOpenForReading(const std::string& path) {
    const int fd = OpenForReading(path, O_NONBLOCK);  // a FIFO must not block the probe
    if (fd < 0) {
        return false;
    }
    ::close(fd);
    return true;
}

int RemoveFile(const std::string& path) {
    return ::unlink(path.c_str()) == 0 ? 0 : errno;
}

}  // namespace zirared
