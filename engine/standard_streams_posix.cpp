// The standard streams on POSIX systems: descriptors 0 and 1.
#include <sys/resource.h>
#include <unistd.h>

#include <cerrno>
#include <string>

#include "file_error.h"
#include "message_text.h"
#include "standard_streams.h"

namespace zirared {

std::optional<std::size_t> StandardInput::ReadSome(char* into, std::size_t size) {
    const ssize_t got = ::read(STDIN_FILENO, into, size);
    if (got >= 0) {
        return static_cast<std::size_t>(got);
    }
    if (errno == EINTR) {
        return std::nullopt;
    }
    const int error = errno;
    throw FileError(error, std::string("Impossibile leggere l'ingresso standard.") + kLineBreak +
                               DescribeSystemError(error));
}

void StandardOutput::WriteAll(const char* data, std::size_t size) {
    if (m_lost) {
        throw OutputLost{*m_lost};
    }
    while (size > 0) {
        const ssize_t written = ::write(STDOUT_FILENO, data, size);
        if (written < 0 && errno == EINTR) {
            continue;
        }
        if (written <= 0) {
            m_lost = written < 0 ? errno : ENOSPC;
            throw OutputLost{*m_lost};
        }
        data += written;
        size -= static_cast<std::size_t>(written);
    }
}

void AllowOpenFiles(std::size_t count) {
    rlimit limit{};
    if (::getrlimit(RLIMIT_NOFILE, &limit) != 0 || limit.rlim_cur == RLIM_INFINITY ||
        limit.rlim_cur >= count) {
        return;
    }
    limit.rlim_cur = limit.rlim_max == RLIM_INFINITY || limit.rlim_max > count
                         ? static_cast<rlim_t>(count)
                         : limit.rlim_max;
    ::setrlimit(RLIMIT_NOFILE, &limit);
}

}  // namespace zirared
