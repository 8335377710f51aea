// The Windows variant of file_error.cpp: the numbers are Win32 error codes (GetLastError),
// and each cause a POSIX system shares is described by the same Italian sentence.
#include <windows.h>

#include <cerrno>
#include <string>
#include <utility>

#include "file_error.h"
#include "windows_error_codes.h"
#include "windows_path.h"

namespace zirared {
namespace {

// The system's own sentence for the rarer codes, in the language of the user's Windows.
std::string SystemText(int number) {
    wchar_t* text = nullptr;
    const DWORD length = FormatMessageW(
        FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
        nullptr, static_cast<DWORD>(number), 0, reinterpret_cast<wchar_t*>(&text), 0, nullptr);
    std::wstring wide = length > 0 && text != nullptr ? std::wstring(text, length) : L"";
    LocalFree(text);
    while (!wide.empty() && (wide.back() == L'\r' || wide.back() == L'\n' || wide.back() == L' ')) {
        wide.pop_back();
    }
    return wide.empty() ? "Errore di sistema " + std::to_string(number) + "." : Utf8FromWide(wide);
}

}  // namespace

FileError::FileError(int number, std::string description)
    : std::runtime_error(description), m_number(number), m_description(std::move(description)) {}

std::string DescribeSystemError(int number) {
    switch (number) {
        case ERROR_DISK_FULL:
        case ERROR_HANDLE_DISK_FULL:
            return "Spazio insufficiente sul disco.";
        case ERROR_FILE_TOO_LARGE:
            return "File troppo grande.";
        case ERROR_ACCESS_DENIED:
        case ERROR_SHARING_VIOLATION:
        case ERROR_LOCK_VIOLATION:
            return "Permesso negato.";
        case ERROR_WRITE_PROTECT:
            return "Il file system è di sola lettura.";
        case ERROR_FILE_NOT_FOUND:
        case ERROR_PATH_NOT_FOUND:
            return "File o cartella inesistente.";
        case ERROR_DIRECTORY_NOT_SUPPORTED:
            return "È una cartella.";
        case ERROR_READ_FAULT:
        case ERROR_WRITE_FAULT:
        case ERROR_GEN_FAILURE:
        case ERROR_CRC:
        case ERROR_HANDLE_EOF:
            return "Errore di input/output.";
        case ERROR_NOT_ENOUGH_MEMORY:
        case ERROR_OUTOFMEMORY:
        // The operations report an exhausted memory with the C library's ENOMEM on every
        // system; as a Win32 code, 12 (ERROR_INVALID_ACCESS) never comes from a file call.
        case ENOMEM:
            return "Memoria insufficiente.";
        default:
            return SystemText(number);
    }
}

FileError SystemError(int number) {
    return FileError(number, DescribeSystemError(number));
}

}  // namespace zirared
