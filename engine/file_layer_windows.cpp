// The file layer on Windows: the wide-character Win32 calls, UTF-8 paths converted at the
// boundary, Win32 error codes in the errors.
#include <windows.h>

#include <algorithm>
#include <cstring>

#include "file_error.h"
#include "file_layer.h"
#include "windows_error_codes.h"
#include "windows_path.h"

namespace zirared {
namespace {

// The class keeps a descriptor-sized slot; 64-bit Windows keeps kernel handles within 32
// bits so that 32- and 64-bit processes can share them, which HandleToLong relies on.
int SlotOf(HANDLE handle) {
    return static_cast<int>(HandleToLong(handle));
}
HANDLE HandleOf(int slot) {
    return LongToHandle(slot);
}

// One call moves at most this much: ReadFile and WriteFile count in 32 bits.
constexpr std::size_t kLargestTransfer = 1u << 30;

// The classic attribute bits; the others (compressed, not indexed, ...) mean nothing here.
constexpr DWORD kClassicAttributes = FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN |
                                     FILE_ATTRIBUTE_SYSTEM | FILE_ATTRIBUTE_DIRECTORY |
                                     FILE_ATTRIBUTE_ARCHIVE;

DWORD AttributesOf(const std::wstring& path) {
    return GetFileAttributesW(path.c_str());
}

bool IsDirectory(DWORD attributes) {
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

// Opens for reading what is a file on a disk; a folder, a console, a pipe or a device is
// refused, as a file chooser would never return one. Returns the handle or the error code.
struct Opened {
    HANDLE handle = INVALID_HANDLE_VALUE;
    DWORD error = ERROR_SUCCESS;
};

Opened OpenForReading(const std::string& path) {
    const auto systemPath = SystemPath(path);
    if (!systemPath) {
        return {INVALID_HANDLE_VALUE, ERROR_NO_UNICODE_TRANSLATION};
    }
    if (IsDirectory(AttributesOf(*systemPath))) {
        return {INVALID_HANDLE_VALUE, ERROR_DIRECTORY_NOT_SUPPORTED};
    }
    // Others may go on reading, writing or deleting the file, as they may on POSIX systems.
    const HANDLE handle = CreateFileW(
        systemPath->c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
        nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL | FILE_FLAG_SEQUENTIAL_SCAN, nullptr);
    if (handle == INVALID_HANDLE_VALUE) {
        return {INVALID_HANDLE_VALUE, GetLastError()};
    }
    if (GetFileType(handle) != FILE_TYPE_DISK) {
        CloseHandle(handle);
        return {INVALID_HANDLE_VALUE, ERROR_BAD_FILE_TYPE};
    }
    return {handle, ERROR_SUCCESS};
}

bool NamesNothing(DWORD error) {
    return error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND;
}

}  // namespace

InputFile::InputFile(std::size_t chunkBytes)
    : m_buffer(std::make_unique<char[]>(chunkBytes)), m_capacity(chunkBytes) {}

InputFile::~InputFile() {
    Close();
}

void InputFile::Open(const std::string& path) {
    if (!OpenIfExists(path)) {
        throw SystemError(ERROR_FILE_NOT_FOUND);
    }
}

bool InputFile::OpenIfExists(const std::string& path) {
    Close();
    const Opened opened = OpenForReading(path);
    if (NamesNothing(opened.error)) {
        return false;
    }
    if (opened.handle == INVALID_HANDLE_VALUE) {
        throw SystemError(static_cast<int>(opened.error));
    }
    LARGE_INTEGER size{};
    if (!GetFileSizeEx(opened.handle, &size)) {
        const DWORD error = GetLastError();
        CloseHandle(opened.handle);
        throw SystemError(static_cast<int>(error));
    }
    m_fd = SlotOf(opened.handle);
    m_length = size.QuadPart;
    return true;
}

void InputFile::Close() {
    if (m_fd >= 0) {
        CloseHandle(HandleOf(m_fd));  // nothing was written: a close error loses nothing
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
        const auto request = static_cast<DWORD>(
            std::min<std::uint64_t>({m_capacity - m_end, left, kLargestTransfer}));
        DWORD got = 0;
        if (!ReadFile(HandleOf(m_fd), m_buffer.get() + m_end, request, &got, nullptr)) {
            throw SystemError(static_cast<int>(GetLastError()));
        }
        if (got == 0) {
            break;
        }
        m_end += got;
        m_filePosition += got;
    }
    if (m_end < wanted) {
        throw SystemError(ERROR_HANDLE_EOF);  // the file shrank while it was being read
    }
}

OutputFile::~OutputFile() {
    Abandon();
}

void OutputFile::Create(const std::string& path) {
    Abandon();
    const auto systemPath = SystemPath(path);
    if (!systemPath) {
        throw SystemError(ERROR_NO_UNICODE_TRANSLATION);
    }
    const HANDLE handle = CreateFileW(systemPath->c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr,
                                      CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (handle == INVALID_HANDLE_VALUE) {
        throw SystemError(static_cast<int>(GetLastError()));
    }
    m_fd = SlotOf(handle);
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
    const HANDLE handle = HandleOf(m_fd);
    m_fd = -1;
    if (!CloseHandle(handle)) {
        throw SystemError(static_cast<int>(GetLastError()));
    }
}

void OutputFile::Abandon() {
    m_pending = nullptr;
    m_pendingSize = 0;
    if (m_fd >= 0) {
        CloseHandle(HandleOf(m_fd));
        m_fd = -1;
    }
}

void OutputFile::WriteAll(const char* data, std::size_t size) {
    while (size > 0) {
        const auto request = static_cast<DWORD>(std::min(size, kLargestTransfer));
        DWORD written = 0;
        if (!WriteFile(HandleOf(m_fd), data, request, &written, nullptr)) {
            throw SystemError(static_cast<int>(GetLastError()));
        }
        if (written == 0) {
            throw SystemError(ERROR_DISK_FULL);
        }
        data += written;
        size -= written;
    }
}

std::optional<FileIdentity> IdentityOf(const std::string& path) {
    const auto systemPath = SystemPath(path);
    if (!systemPath) {
        return std::nullopt;
    }
    // No access asked: the identity of a file opened exclusively by another program is
    // still readable. The backup flag lets the call open folders as well.
    const HANDLE handle =
        CreateFileW(systemPath->c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                    nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    if (handle == INVALID_HANDLE_VALUE) {
        return std::nullopt;
    }
    BY_HANDLE_FILE_INFORMATION information{};
    const bool known = GetFileInformationByHandle(handle, &information) != 0;
    CloseHandle(handle);
    if (!known) {
        return std::nullopt;
    }
    return FileIdentity{
        information.dwVolumeSerialNumber,
        (std::uint64_t{information.nFileIndexHigh} << 32) | information.nFileIndexLow};
}

int AttributeValue(const std::string& path) {
    const auto systemPath = SystemPath(path);
    if (!systemPath) {
        return -1;
    }
    const DWORD attributes = AttributesOf(*systemPath);
    if (attributes == INVALID_FILE_ATTRIBUTES) {
        return -1;
    }
    return static_cast<int>(attributes & kClassicAttributes);
}

bool CanOpenForReading(const std::string& path) {
    const Opened opened = OpenForReading(path);
    if (opened.handle == INVALID_HANDLE_VALUE) {
        return false;
    }
    CloseHandle(opened.handle);
    return true;
}

int RemoveFile(const std::string& path) {
    const auto systemPath = SystemPath(path);
    if (!systemPath) {
        return ERROR_NO_UNICODE_TRANSLATION;
    }
    if (IsDirectory(AttributesOf(*systemPath))) {
        return ERROR_DIRECTORY_NOT_SUPPORTED;
    }
    return DeleteFileW(systemPath->c_str()) ? 0 : static_cast<int>(GetLastError());
}

}  // namespace zirared
