// The Windows half of file_error.h: which Win32 error codes (GetLastError) the program has a
// sentence for. A cause a POSIX system shares maps to the same kind, so it reads the same.
#include <windows.h>

#include <optional>

#include "file_error.h"
#include "windows_error_codes.h"

namespace zirared {

std::optional<FileErrorKind> KindOfSystemError(int number) {
    switch (number) {
        case ERROR_DISK_FULL:
        case ERROR_HANDLE_DISK_FULL:
            return FileErrorKind::DiskFull;
        case ERROR_FILE_TOO_LARGE:
            return FileErrorKind::FileTooLarge;
        case ERROR_ACCESS_DENIED:
        case ERROR_PRIVILEGE_NOT_HELD:
            return FileErrorKind::AccessDenied;
        case ERROR_WRITE_PROTECT:
            return FileErrorKind::ReadOnlyFileSystem;
        case ERROR_FILE_NOT_FOUND:
        case ERROR_PATH_NOT_FOUND:
        case ERROR_INVALID_DRIVE:
        case ERROR_BAD_NETPATH:
            return FileErrorKind::NotFound;
        case ERROR_DIRECTORY_NOT_SUPPORTED:
            return FileErrorKind::IsADirectory;
        case ERROR_DIRECTORY:
            return FileErrorKind::NotADirectory;
        case ERROR_READ_FAULT:
        case ERROR_WRITE_FAULT:
        case ERROR_GEN_FAILURE:
        case ERROR_CRC:
        case ERROR_SECTOR_NOT_FOUND:
        case ERROR_HANDLE_EOF:
        case ERROR_IO_DEVICE:
            return FileErrorKind::InputOutput;
        case ERROR_NOT_ENOUGH_MEMORY:
        case ERROR_OUTOFMEMORY:
            return FileErrorKind::OutOfMemory;
        case ERROR_FILENAME_EXCED_RANGE:
            return FileErrorKind::NameTooLong;
        case ERROR_CANT_RESOLVE_FILENAME:
            return FileErrorKind::TooManyLinksInPath;
        case ERROR_TOO_MANY_OPEN_FILES:
            return FileErrorKind::TooManyOpenFiles;
        case ERROR_FILE_EXISTS:
        case ERROR_ALREADY_EXISTS:
            return FileErrorKind::AlreadyExists;
        case ERROR_SHARING_VIOLATION:
        case ERROR_LOCK_VIOLATION:
        case ERROR_USER_MAPPED_FILE:
            return FileErrorKind::InUse;
        case ERROR_NOT_SAME_DEVICE:
            return FileErrorKind::OnAnotherFileSystem;
        case ERROR_DEV_NOT_EXIST:
            return FileErrorKind::NoSuchDevice;
        case ERROR_NOT_READY:
            return FileErrorKind::DeviceNotReady;  // a drive without its disk
        case ERROR_INVALID_PARAMETER:
            return FileErrorKind::InvalidArgument;
        case ERROR_INVALID_NAME:
        case ERROR_NO_UNICODE_TRANSLATION:
            return FileErrorKind::InvalidName;
        case ERROR_NETNAME_DELETED:
            return FileErrorKind::NoLongerAvailable;
        case ERROR_TOO_MANY_LINKS:
            return FileErrorKind::TooManyLinks;
        case ERROR_DIR_NOT_EMPTY:
            return FileErrorKind::FolderNotEmpty;
        case ERROR_ARITHMETIC_OVERFLOW:
            return FileErrorKind::ValueTooLarge;
        case ERROR_NOT_SUPPORTED:
        case ERROR_INVALID_FUNCTION:
            return FileErrorKind::NotSupported;
        case ERROR_INVALID_HANDLE:
            return FileErrorKind::BadDescriptor;
        case ERROR_OPERATION_ABORTED:
            return FileErrorKind::Interrupted;
        case ERROR_SEM_TIMEOUT:
            return FileErrorKind::TimedOut;
        case ERROR_BAD_FILE_TYPE:
            return FileErrorKind::NotRegularFile;
        case ERROR_BROKEN_PIPE:
        case ERROR_NO_DATA:  // the reading end of a pipe closed
        case ERROR_PIPE_NOT_CONNECTED:
            return FileErrorKind::BrokenPipe;
        default:
            return std::nullopt;
    }
}

// A console, pipe or device where a file on a disk was expected.
const int kNotRegularFileNumber = ERROR_BAD_FILE_TYPE;

const int kIsADirectoryNumber = ERROR_DIRECTORY_NOT_SUPPORTED;
const int kOutOfMemoryNumber = ERROR_NOT_ENOUGH_MEMORY;

const int kSha256UnavailableNumber = ERROR_NOT_SUPPORTED;

}  // namespace zirared
