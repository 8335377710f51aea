// The system half of the file layer on Windows, both faces: the streams (file_streams.h) and
// the path queries (path_queries.h). The wide-character Win32 calls, UTF-8 paths converted
// at the boundary, Win32 error codes in the errors. The buffering is in file_streams.cpp.
#include <windows.h>

#include <algorithm>
#include <random>

#include "file_error.h"
#include "file_layer_system.h"
#include "file_streams.h"
#include "path_queries.h"
#include "path_separators.h"
#include "windows_error_codes.h"
#include "windows_path.h"

namespace zirared {

namespace {

HANDLE HandleOf(std::intptr_t handle) {
    return reinterpret_cast<HANDLE>(handle);
}

std::intptr_t SlotOf(HANDLE handle) {
    return reinterpret_cast<std::intptr_t>(handle);
}

// One call moves at most this much: ReadFile and WriteFile count in 32 bits.
constexpr std::size_t kLargestTransfer = std::size_t{1} << 30;

// The classic attribute bits; the others (compressed, not indexed, ...) mean nothing here.
constexpr DWORD kClassicAttributes = FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN |
                                     FILE_ATTRIBUTE_SYSTEM | FILE_ATTRIBUTE_DIRECTORY |
                                     FILE_ATTRIBUTE_ARCHIVE;

// A path is examined through its wide form: empty when it is not valid UTF-8.
struct Examined {
    std::optional<std::wstring> systemPath;
    bool device = false;  // NUL, COM1, CON, \\.\pipe\x: never opened, as opening may act
    DWORD attributes = INVALID_FILE_ATTRIBUTES;
    DWORD error = ERROR_SUCCESS;  // why attributes is invalid
};

// GetFullPathNameW turns a reserved name ("C:\dati\NUL", "COM1") into its device path.
bool IsDevicePath(const std::wstring& path) {
    wchar_t full[16];
    const DWORD length = GetFullPathNameW(path.c_str(), 16, full, nullptr);
    const std::wstring_view start(path.c_str(), std::min<std::size_t>(path.size(), 4));
    return start == L"\\\\.\\" ||
           (length > 0 && length < 16 && std::wstring_view(full).starts_with(L"\\\\.\\"));
}

Examined Examine(const std::string& path) {
    Examined examined;
    examined.systemPath = SystemPath(path);
    if (!examined.systemPath) {
        examined.error = ERROR_NO_UNICODE_TRANSLATION;
        return examined;
    }
    examined.device = IsDevicePath(*examined.systemPath);
    if (!examined.device) {
        examined.attributes = GetFileAttributesW(examined.systemPath->c_str());
        if (examined.attributes == INVALID_FILE_ATTRIBUTES) {
            examined.error = GetLastError();
        }
    }
    return examined;
}

bool IsDirectory(DWORD attributes) {
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

// Symbolic links and junctions; other reparse points (cloud placeholders, deduplicated
// files) are ordinary files and folders to the user.
bool IsLink(const std::wstring& path, DWORD attributes) {
    if (attributes == INVALID_FILE_ATTRIBUTES || (attributes & FILE_ATTRIBUTE_REPARSE_POINT) == 0) {
        return false;
    }
    WIN32_FIND_DATAW found{};
    const HANDLE search = FindFirstFileW(path.c_str(), &found);
    if (search == INVALID_HANDLE_VALUE) {
        return false;
    }
    FindClose(search);
    return found.dwReserved0 == IO_REPARSE_TAG_SYMLINK ||
           found.dwReserved0 == IO_REPARSE_TAG_MOUNT_POINT;
}

// Opens what the path leads to (links followed) without asking for access to its content,
// so it works on files other programs hold and on folders.
HANDLE OpenForQuery(const std::string& path) {
    const auto systemPath = SystemPath(path);
    if (!systemPath) {
        return INVALID_HANDLE_VALUE;
    }
    return CreateFileW(systemPath->c_str(), 0,
                       FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                       OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
}

// Volume, file index and attributes of what the path leads to.
std::optional<BY_HANDLE_FILE_INFORMATION> InformationOf(const std::string& path) {
    const HANDLE handle = OpenForQuery(path);
    if (handle == INVALID_HANDLE_VALUE) {
        return std::nullopt;
    }
    BY_HANDLE_FILE_INFORMATION information{};
    const bool known = GetFileInformationByHandle(handle, &information) != 0;
    CloseHandle(handle);
    return known ? std::optional(information) : std::nullopt;
}

struct Opened {
    HANDLE handle = INVALID_HANDLE_VALUE;
    DWORD error = ERROR_SUCCESS;
    BY_HANDLE_FILE_INFORMATION information{};  // the open file's
};

// Opens a file on a disk for reading. A folder is refused, and a device, console or pipe is
// never opened at all; the open handle is examined again, as the path may change between.
// Others may go on reading, writing or deleting the file, as they may on POSIX systems.
Opened OpenRegularForReading(const std::string& path) {
    const Examined examined = Examine(path);
    if (examined.device) {
        return {INVALID_HANDLE_VALUE, static_cast<DWORD>(kNotRegularFileNumber)};
    }
    if (!examined.systemPath || examined.attributes == INVALID_FILE_ATTRIBUTES) {
        return {INVALID_HANDLE_VALUE, examined.error};
    }
    if (IsDirectory(examined.attributes)) {
        return {INVALID_HANDLE_VALUE, static_cast<DWORD>(kIsADirectoryNumber)};
    }
    const HANDLE handle =
        CreateFileW(examined.systemPath->c_str(), GENERIC_READ,
                    FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
                    FILE_ATTRIBUTE_NORMAL | FILE_FLAG_SEQUENTIAL_SCAN, nullptr);
    if (handle == INVALID_HANDLE_VALUE) {
        return {INVALID_HANDLE_VALUE, GetLastError()};
    }
    BY_HANDLE_FILE_INFORMATION information{};
    if (GetFileType(handle) != FILE_TYPE_DISK ||
        !GetFileInformationByHandle(handle, &information) ||
        IsDirectory(information.dwFileAttributes)) {
        CloseHandle(handle);
        return {INVALID_HANDLE_VALUE, static_cast<DWORD>(kNotRegularFileNumber)};
    }
    return {handle, ERROR_SUCCESS, information};
}

FileError OpenFailure(DWORD error, const std::string& path) {
    return static_cast<int>(error) == kNotRegularFileNumber
               ? NotRegularFileError(path)
               : SystemError(static_cast<int>(error), path, FileAction::Open);
}

int LastError() {
    return static_cast<int>(GetLastError());
}

FileIdentity IdentityFrom(const BY_HANDLE_FILE_INFORMATION& information) {
    return {information.dwVolumeSerialNumber,
            (std::uint64_t{information.nFileIndexHigh} << 32) | information.nFileIndexLow};
}

// Opens the file at path itself (a link not followed) with the right to delete it; other
// programs may go on using it, unless they refused to share its deletion.
HANDLE OpenForDeletion(const std::string& path) {
    const auto systemPath = SystemPath(path);
    if (!systemPath) {
        return INVALID_HANDLE_VALUE;
    }
    return CreateFileW(systemPath->c_str(), DELETE | FILE_READ_ATTRIBUTES,
                       FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                       OPEN_EXISTING, FILE_FLAG_OPEN_REPARSE_POINT, nullptr);
}

// Deletes the file behind handle: unlike a deletion by name, it cannot reach another file.
bool DeleteByHandle(HANDLE handle) {
    FILE_DISPOSITION_INFO disposition{};
    disposition.DeleteFile = TRUE;
    return SetFileInformationByHandle(handle, FileDispositionInfo, &disposition,
                                      sizeof disposition) != 0;
}

}  // namespace

const int kFileShrankNumber = ERROR_HANDLE_EOF;
const int kNothingAtPathNumber = ERROR_FILE_NOT_FOUND;

std::size_t ReadSome(std::intptr_t handle, char* into, std::size_t size, const std::string& path) {
    DWORD got = 0;
    const auto request = static_cast<DWORD>(std::min(size, kLargestTransfer));
    if (!ReadFile(HandleOf(handle), into, request, &got, nullptr)) {
        throw SystemError(LastError(), path, FileAction::Read);
    }
    return got;
}

bool InputFile::OpenIfExists(const std::string& path) {
    Close();
    const Opened opened = OpenRegularForReading(path);
    if (opened.error == ERROR_FILE_NOT_FOUND || opened.error == ERROR_PATH_NOT_FOUND) {
        return false;
    }
    if (opened.handle == INVALID_HANDLE_VALUE) {
        throw OpenFailure(opened.error, path);
    }
    m_handle = SlotOf(opened.handle);
    m_path = path;
    m_length = static_cast<std::int64_t>((std::uint64_t{opened.information.nFileSizeHigh} << 32) |
                                         opened.information.nFileSizeLow);
    m_identity = IdentityFrom(opened.information);
    return true;
}

void CloseForReading(std::intptr_t handle) {
    CloseHandle(HandleOf(handle));
}

// A new file takes the access rules of its folder; the permission bits of access mean nothing
// here. The handle shares neither writing nor deletion: while it is open, no other run can
// take the file for abandoned (ExamineTemporaryFile), and the system drops the handle when
// the process dies.
void OutputFile::CreateFor(const std::string& target, const FileAccess&) {
    Discard();
    std::mt19937_64 random{std::random_device{}()};
    for (int attempt = 0;; ++attempt) {
        const std::string temporary = TemporaryNameFor(target, random);
        const auto systemPath = SystemPath(temporary);
        if (!systemPath) {
            throw SystemError(ERROR_NO_UNICODE_TRANSLATION, target, FileAction::Create);
        }
        const HANDLE handle = CreateFileW(systemPath->c_str(), GENERIC_WRITE, FILE_SHARE_READ,
                                          nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
        if (handle != INVALID_HANDLE_VALUE) {
            BY_HANDLE_FILE_INFORMATION information{};
            GetFileInformationByHandle(handle, &information);
            m_handle = SlotOf(handle);
            m_target = target;
            m_temporaryPath = temporary;
            m_identity = IdentityFrom(information);
            return;
        }
        const DWORD error = GetLastError();
        if ((error != ERROR_FILE_EXISTS && error != ERROR_ALREADY_EXISTS) || attempt == 100) {
            throw SystemError(static_cast<int>(error), target, FileAction::Create);
        }
    }
}

void OutputFile::Commit(bool syncToDisk) {
    if (m_handle == -1) {
        return;
    }
    try {
        Flush();
        const Examined replaced = Examine(m_target);
        if (replaced.device) {
            throw NotRegularFileError(m_target);  // "NUL" or "COM1" is no place for a file
        }
        if (IsDirectory(replaced.attributes)) {
            throw SystemError(kIsADirectoryNumber, m_target, FileAction::Replace);
        }
        const bool replacing = replaced.attributes != INVALID_FILE_ATTRIBUTES;
        const HANDLE handle = HandleOf(m_handle);
        // Always synced: there is no SyncFileSystemOf for a user here (see file_streams.h).
        static_cast<void>(syncToDisk);
        if (!FlushFileBuffers(handle)) {
            throw SystemError(LastError(), m_target, FileAction::Write);
        }
        m_handle = -1;
        if (!CloseHandle(handle)) {
            throw SystemError(LastError(), m_target, FileAction::Write);
        }
        // Write-through: the call returns once the new name is on the disk as well. A link
        // at the target is replaced itself, not followed.
        const auto from = SystemPath(m_temporaryPath);
        if (!replaced.systemPath || !from ||
            !MoveFileExW(from->c_str(), replaced.systemPath->c_str(),
                         MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
            throw SystemError(
                replaced.systemPath && from ? LastError() : ERROR_NO_UNICODE_TRANSLATION, m_target,
                replacing ? FileAction::Replace : FileAction::Create);
        }
    } catch (...) {
        Discard();
        throw;
    }
    m_temporaryPath.clear();
}

void OutputFile::SyncToDisk() {
    Flush();
    if (m_handle != -1 && !FlushFileBuffers(HandleOf(m_handle))) {
        throw SystemError(LastError(), m_target, FileAction::Write);
    }
}

void OutputFile::Discard() {
    DropPending();
    if (m_handle != -1) {
        CloseHandle(HandleOf(m_handle));
        m_handle = -1;
    }
    if (!m_temporaryPath.empty()) {
        RemoveIfSameFile(m_temporaryPath, m_identity);
        m_temporaryPath.clear();
    }
}

void OutputFile::WriteAll(const char* data, std::size_t size) {
    while (size > 0) {
        const auto request = static_cast<DWORD>(std::min(size, kLargestTransfer));
        DWORD written = 0;
        if (!WriteFile(HandleOf(m_handle), data, request, &written, nullptr)) {
            throw SystemError(LastError(), m_target, FileAction::Write);
        }
        if (written == 0) {
            throw SystemError(ERROR_DISK_FULL, m_target, FileAction::Write);
        }
        data += written;
        size -= written;
    }
}

// A write at an offset moves the file pointer of a synchronous handle: put back after it.
void OutputFile::WriteAt(std::int64_t offset, std::span<const char> bytes) {
    Flush();
    const HANDLE handle = HandleOf(m_handle);
    LARGE_INTEGER end{};
    if (!SetFilePointerEx(handle, LARGE_INTEGER{}, &end, FILE_CURRENT)) {
        throw SystemError(LastError(), m_target, FileAction::Write);
    }
    OVERLAPPED at{};
    at.Offset = static_cast<DWORD>(static_cast<std::uint64_t>(offset) & 0xFFFFFFFFu);
    at.OffsetHigh = static_cast<DWORD>(static_cast<std::uint64_t>(offset) >> 32);
    DWORD written = 0;
    const bool wrote =
        WriteFile(handle, bytes.data(), static_cast<DWORD>(bytes.size()), &written, &at) != 0;
    if (!wrote || written != bytes.size()) {
        throw SystemError(wrote ? ERROR_DISK_FULL : LastError(), m_target, FileAction::Write);
    }
    if (!SetFilePointerEx(handle, end, nullptr, FILE_BEGIN)) {
        throw SystemError(LastError(), m_target, FileAction::Write);
    }
}

std::optional<PathKind> KindOfPath(const std::string& path) {
    const Examined examined = Examine(path);
    if (examined.device) {
        return PathKind::Special;
    }
    if (examined.attributes == INVALID_FILE_ATTRIBUTES) {
        return std::nullopt;
    }
    if (IsLink(*examined.systemPath, examined.attributes)) {
        return PathKind::Link;
    }
    return IsDirectory(examined.attributes) ? PathKind::Directory : PathKind::Regular;
}

std::optional<std::string> ResolvedPath(const std::string& path) {
    const HANDLE handle = OpenForQuery(path);
    if (handle == INVALID_HANDLE_VALUE) {
        return std::nullopt;
    }
    std::wstring resolved(MAX_PATH, L'\0');
    DWORD length =
        GetFinalPathNameByHandleW(handle, resolved.data(), static_cast<DWORD>(resolved.size()), 0);
    if (length >= resolved.size()) {
        resolved.resize(length);
        length = GetFinalPathNameByHandleW(handle, resolved.data(),
                                           static_cast<DWORD>(resolved.size()), 0);
    }
    CloseHandle(handle);
    if (length == 0 || length >= resolved.size()) {
        return std::nullopt;
    }
    resolved.resize(length);
    // The system answers with the long-path prefix; users know the path without it.
    if (resolved.starts_with(L"\\\\?\\UNC\\")) {
        resolved = L"\\\\" + resolved.substr(8);
    } else if (resolved.starts_with(L"\\\\?\\")) {
        resolved = resolved.substr(4);
    }
    return Utf8FromWide(resolved);
}

std::optional<FileIdentity> IdentityOf(const std::string& path) {
    const auto information = InformationOf(path);
    if (!information) {
        return std::nullopt;
    }
    return IdentityFrom(*information);
}

std::optional<FileAccess> AccessOf(const std::string& path) {
    if (!InformationOf(path)) {
        return std::nullopt;
    }
    return FileAccess{};
}

std::optional<int> AttributeValue(const std::string& path) {
    const Examined examined = Examine(path);
    if (examined.device) {
        return kAttributeSystem;
    }
    if (examined.attributes == INVALID_FILE_ATTRIBUTES) {
        return std::nullopt;
    }
    DWORD attributes = examined.attributes;
    if ((attributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0) {
        // A link's own attributes say little: take those of what it leads to.
        const auto information = InformationOf(path);
        if (!information) {
            return std::nullopt;
        }
        attributes = information->dwFileAttributes;
    }
    return static_cast<int>(attributes & kClassicAttributes);
}

std::optional<std::string> LeadingBytes(const std::string& path, std::size_t maxBytes) {
    if (KindOfPath(path) != PathKind::Regular) {
        return std::nullopt;
    }
    const Opened opened = OpenRegularForReading(path);
    if (opened.handle == INVALID_HANDLE_VALUE) {
        return std::nullopt;
    }
    std::string bytes(maxBytes, '\0');
    std::size_t got = 0;
    try {
        while (got < maxBytes) {
            const std::size_t n =
                ReadSome(SlotOf(opened.handle), bytes.data() + got, maxBytes - got, path);
            if (n == 0) {
                break;
            }
            got += n;
        }
    } catch (const FileError&) {
        // what was read so far is the answer
    }
    CloseHandle(opened.handle);
    bytes.resize(got);
    return bytes;
}

std::optional<int> RemoveFile(const std::string& path) {
    const Examined examined = Examine(path);
    if (!examined.systemPath) {
        return ERROR_NO_UNICODE_TRANSLATION;
    }
    if (IsDirectory(examined.attributes) && !IsLink(*examined.systemPath, examined.attributes)) {
        return kIsADirectoryNumber;
    }
    // A link to a folder is removed as a folder entry, the folder itself stays.
    const bool removed = IsDirectory(examined.attributes)
                             ? RemoveDirectoryW(examined.systemPath->c_str())
                             : DeleteFileW(examined.systemPath->c_str());
    if (!removed) {
        return LastError();
    }
    return std::nullopt;
}

void RemoveIfSameFile(const std::string& path, const FileIdentity& identity) {
    const HANDLE handle = OpenForDeletion(path);
    if (handle == INVALID_HANDLE_VALUE) {
        return;
    }
    BY_HANDLE_FILE_INFORMATION information{};
    if (GetFileInformationByHandle(handle, &information) &&
        (information.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) == 0 &&
        IdentityFrom(information) == identity) {
        DeleteByHandle(handle);
    }
    CloseHandle(handle);
}

void SyncFileSystemOf(const std::string&) {
    // Every Commit has synced its file, and renamed it with MOVEFILE_WRITE_THROUGH.
}

// Handles are not counted against a small limit here: a process may hold millions.
std::int64_t OpenFileLimit() {
    return std::int64_t{1} << 24;
}

FileLock::~FileLock() {
    if (m_handle != -1) {
        CloseHandle(HandleOf(m_handle));  // releases the lock
    }
}

bool FileLock::TryLock(const std::string& path) {
    const Opened opened = OpenRegularForReading(path);
    if (opened.handle == INVALID_HANDLE_VALUE) {
        return true;
    }
    // Windows locks are mandatory: the lock covers one byte far beyond any end of file, so
    // reading the file through another handle is never refused.
    OVERLAPPED place{};
    place.Offset = 0xFFFFFFFE;
    place.OffsetHigh = 0x7FFFFFFF;
    if (!LockFileEx(opened.handle, LOCKFILE_EXCLUSIVE_LOCK | LOCKFILE_FAIL_IMMEDIATELY, 0, 1, 0,
                    &place) &&
        GetLastError() == ERROR_LOCK_VIOLATION) {
        CloseHandle(opened.handle);
        return false;
    }
    m_handle = SlotOf(opened.handle);
    return true;
}

std::vector<std::string> NamesInFolder(const std::string& folder) {
    std::vector<std::string> names;
    const auto pattern = SystemPath((folder.empty() ? std::string(".\\") : folder) + "*");
    if (!pattern) {
        return names;
    }
    WIN32_FIND_DATAW found{};
    const HANDLE search = FindFirstFileExW(pattern->c_str(), FindExInfoBasic, &found,
                                           FindExSearchNameMatch, nullptr, 0);
    if (search == INVALID_HANDLE_VALUE) {
        return names;
    }
    do {
        const std::wstring_view name = found.cFileName;
        if (name != L"." && name != L"..") {
            names.push_back(Utf8FromWide(name));
        }
    } while (FindNextFileW(search, &found));
    FindClose(search);
    return names;
}

// The writer's handle refuses to share deletion: opening for deletion fails while it lives.
TemporaryState ExamineTemporaryFile(const std::string& path, bool removeAbandoned) {
    const HANDLE handle = OpenForDeletion(path);
    if (handle == INVALID_HANDLE_VALUE) {
        return GetLastError() == ERROR_SHARING_VIOLATION ? TemporaryState::InUse
                                                         : TemporaryState::NotOurs;
    }
    BY_HANDLE_FILE_INFORMATION information{};
    TemporaryState state = TemporaryState::NotOurs;
    if (GetFileType(handle) == FILE_TYPE_DISK && GetFileInformationByHandle(handle, &information) &&
        (information.dwFileAttributes &
         (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_REPARSE_POINT)) == 0) {
        state = removeAbandoned && DeleteByHandle(handle) ? TemporaryState::Removed
                                                          : TemporaryState::Abandoned;
    }
    CloseHandle(handle);
    return state;
}

bool OutputNamesFit(const std::string& target) {
    // NTFS, FAT and exFAT all stop a name at 255 UTF-16 units; a \\?\ path at 32,767.
    constexpr std::size_t kLongestName = 255;
    constexpr std::size_t kLongestPath = 32'767;
    const std::size_t nameStart = FileNameOffset(target);
    const auto fits = [&](const std::string& path) {
        const auto name = WideFromUtf8(std::string_view(path).substr(nameStart));
        const auto full = SystemPath(path);
        // A name that is not UTF-8 is refused where it is created, with its own message.
        return !name || !full || (name->size() <= kLongestName && full->size() < kLongestPath);
    };
    std::mt19937_64 random{0};  // the tag's characters do not change the name's length
    return fits(target) && fits(TemporaryNameFor(target, random));
}

}  // namespace zirared
