// The POSIX half of file_error.h: which errno values the program has a sentence for.
#include <cerrno>
#include <optional>

#include "file_error.h"

namespace zirared {

std::optional<FileErrorKind> KindOfSystemError(int number) {
    switch (number) {
        case ENOSPC:
            return FileErrorKind::DiskFull;
        case EDQUOT:
            return FileErrorKind::QuotaExceeded;
        case EFBIG:
            return FileErrorKind::FileTooLarge;
        case EACCES:
        case EPERM:
            return FileErrorKind::AccessDenied;
        case EROFS:
            return FileErrorKind::ReadOnlyFileSystem;
        case ENOENT:
            return FileErrorKind::NotFound;
        case EISDIR:
            return FileErrorKind::IsADirectory;
        case ENOTDIR:
            return FileErrorKind::NotADirectory;
        case EIO:
            return FileErrorKind::InputOutput;
        case ENOMEM:
            return FileErrorKind::OutOfMemory;
        case ENAMETOOLONG:
            return FileErrorKind::NameTooLong;
        case ELOOP:
            return FileErrorKind::TooManyLinksInPath;
        case EMFILE:
        case ENFILE:
            return FileErrorKind::TooManyOpenFiles;
        case EEXIST:
            return FileErrorKind::AlreadyExists;
        case EBUSY:
        case ETXTBSY:
            return FileErrorKind::InUse;
        case EXDEV:
            return FileErrorKind::OnAnotherFileSystem;
        case ENXIO:
        case ENODEV:
            return FileErrorKind::NoSuchDevice;
        case EINVAL:
            return FileErrorKind::InvalidArgument;
        case EAGAIN:
            return FileErrorKind::TemporarilyUnavailable;
        case ESTALE:
            return FileErrorKind::NoLongerAvailable;
        case EMLINK:
            return FileErrorKind::TooManyLinks;
        case ENOTEMPTY:
            return FileErrorKind::FolderNotEmpty;
        case EOVERFLOW:
            return FileErrorKind::ValueTooLarge;
        case ENOTSUP:
            return FileErrorKind::NotSupported;
        case EBADF:
            return FileErrorKind::BadDescriptor;
        case EINTR:
            return FileErrorKind::Interrupted;
        case ETIMEDOUT:
            return FileErrorKind::TimedOut;
        case ENOLCK:
            return FileErrorKind::NoLocks;
        case EPIPE:
            return FileErrorKind::BrokenPipe;
        default:
            return std::nullopt;
    }
}

// EINVAL is the code the system itself gives when a file's type does not allow the request.
const int kNotRegularFileNumber = EINVAL;

const int kIsADirectoryNumber = EISDIR;
const int kOutOfMemoryNumber = ENOMEM;

// The code the system gives for a call it does not implement.
const int kSha256UnavailableNumber = ENOSYS;

}  // namespace zirared
