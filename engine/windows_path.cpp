#include "windows_path.h"

#include <windows.h>

#include <climits>

namespace zirared {
namespace {

// Folders are refused past 248 characters (room for an 8.3 name), files past 260: the
// prefix goes on from the lower of the two, so a folder and the files in it are treated alike.
constexpr std::size_t kLongPathFrom = MAX_PATH - 12;

bool HasPrefix(std::wstring_view text, std::wstring_view prefix) {
    return text.substr(0, prefix.size()) == prefix;
}

std::wstring FullPath(const std::wstring& path) {
    const DWORD needed = GetFullPathNameW(path.c_str(), 0, nullptr, nullptr);
    if (needed == 0) {
        return path;
    }
    std::wstring full(needed, L'\0');
    const DWORD length = GetFullPathNameW(path.c_str(), needed, full.data(), nullptr);
    if (length == 0 || length >= needed) {
        return path;
    }
    full.resize(length);
    return full;
}

}  // namespace

std::optional<std::wstring> WideFromUtf8(std::string_view text) {
    if (text.empty()) {
        return std::wstring();
    }
    if (text.size() > INT_MAX) {
        return std::nullopt;
    }
    const int size = static_cast<int>(text.size());
    const int length =
        MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, text.data(), size, nullptr, 0);
    if (length == 0) {
        return std::nullopt;
    }
    std::wstring wide(static_cast<std::size_t>(length), L'\0');
    MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, text.data(), size, wide.data(), length);
    return wide;
}

std::string Utf8FromWide(std::wstring_view text) {
    if (text.empty() || text.size() > INT_MAX) {
        return {};
    }
    const int size = static_cast<int>(text.size());
    const int length =
        WideCharToMultiByte(CP_UTF8, 0, text.data(), size, nullptr, 0, nullptr, nullptr);
    std::string utf8(static_cast<std::size_t>(length), '\0');
    WideCharToMultiByte(CP_UTF8, 0, text.data(), size, utf8.data(), length, nullptr, nullptr);
    return utf8;
}

std::optional<std::wstring> SystemPath(const std::string& path) {
    auto wide = WideFromUtf8(path);
    if (!wide || wide->size() < kLongPathFrom || HasPrefix(*wide, L"\\\\?\\")) {
        return wide;
    }
    // The prefix also turns off the clean-up of the path, so it goes on a full path with
    // backslashes only and without "." or ".." parts, which GetFullPathNameW gives.
    const std::wstring full = FullPath(*wide);
    if (HasPrefix(full, L"\\\\.\\")) {
        return full;  // a device path is left as it is
    }
    if (HasPrefix(full, L"\\\\")) {
        return L"\\\\?\\UNC\\" + full.substr(2);
    }
    return L"\\\\?\\" + full;
}

}  // namespace zirared
