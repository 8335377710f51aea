#pragma once

#include <optional>
#include <stdexcept>
#include <string>

namespace zirared {

// What the program was doing to a file when the system refused.
enum class FileAction { Open, Read, Create, Write, Replace, Delete };

// A failure of the file layer as the user sees it: the system's error code, the file
// concerned and a readable Italian description. The operations catch it in their one
// failure trap.
class FileError : public std::runtime_error {
public:
    // cause: the Italian sentence for the error; path: the file the user knows it by.
    FileError(int number, std::string cause, std::string path = {},
              FileAction action = FileAction::Open);

    int Number() const { return m_number; }
    // "Impossibile scrivere il file /p/report.001" CR LF cause; the cause alone without a path.
    const std::string& Description() const { return m_description; }
    const std::string& Cause() const { return m_cause; }
    const std::string& Path() const { return m_path; }

private:
    int m_number;
    std::string m_cause;
    std::string m_path;
    std::string m_description;
};

// What went wrong with a file, whatever the system: each kind has one Italian sentence
// (file_error.cpp), and each system only maps its own codes onto the kinds
// (file_error_posix.cpp, file_error_windows.cpp). The number a user is shown stays the
// system's own code.
enum class FileErrorKind {
    DiskFull,
    QuotaExceeded,
    FileTooLarge,
    AccessDenied,
    ReadOnlyFileSystem,
    NotFound,
    IsADirectory,
    NotADirectory,
    InputOutput,
    OutOfMemory,
    NameTooLong,
    TooManyLinksInPath,
    TooManyOpenFiles,
    AlreadyExists,
    InUse,
    OnAnotherFileSystem,
    NoSuchDevice,
    DeviceNotReady,
    InvalidArgument,
    InvalidName,
    TemporarilyUnavailable,
    NoLongerAvailable,
    TooManyLinks,
    FolderNotEmpty,
    ValueTooLarge,
    NotSupported,
    BadDescriptor,
    Interrupted,
    TimedOut,
    NoLocks,
    BrokenPipe,
    NotRegularFile,
    NoSha256,  // the crypto library cannot compute the digests
};

// The kind of this platform's system error code; nothing for a code the program has no
// sentence for.
std::optional<FileErrorKind> KindOfSystemError(int number);

// The Italian sentence for a system error code of this platform: its kind's, or one that
// gives the number.
std::string DescribeSystemError(int number);

// The error for system code number met while doing action to path.
FileError SystemError(int number, const std::string& path = {},
                      FileAction action = FileAction::Open);

// The error code and sentence for a path that is not a regular file (a FIFO, socket or
// device): such a file is never opened, since opening or reading it may block.
extern const int kNotRegularFileNumber;
FileError NotRegularFileError(const std::string& path);

// The error, and this platform's code for it, when the system's crypto library cannot
// compute SHA-256.
extern const int kSha256UnavailableNumber;
FileError Sha256UnavailableError();

// This platform's codes for a folder standing where a file was expected, and for memory
// running out; the operations report both without a system call of their own.
extern const int kIsADirectoryNumber;
extern const int kOutOfMemoryNumber;

}  // namespace zirared
