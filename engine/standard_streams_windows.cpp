// The standard streams on Windows: the handles the process was given, read and written with
// ReadFile and WriteFile, so the bytes pass as they are (no text mode of a C runtime).
#include <windows.h>

#include <algorithm>
#include <string>

#include "file_error.h"
#include "message_text.h"
#include "standard_streams.h"

namespace zirared {
namespace {

// One call moves at most this much: ReadFile and WriteFile count in 32 bits.
constexpr std::size_t kLargestTransfer = std::size_t{1} << 30;

}  // namespace

std::optional<std::size_t> StandardInput::ReadSome(char* into, std::size_t size) {
    DWORD got = 0;
    const auto request = static_cast<DWORD>(std::min(size, kLargestTransfer));
    if (ReadFile(GetStdHandle(STD_INPUT_HANDLE), into, request, &got, nullptr)) {
        return got;
    }
    const DWORD error = GetLastError();
    // The writing end of a pipe closed: that is how a pipe ends.
    if (error == ERROR_BROKEN_PIPE || error == ERROR_HANDLE_EOF) {
        return 0;
    }
    if (error == ERROR_OPERATION_ABORTED) {
        return std::nullopt;
    }
    const int number = static_cast<int>(error);
    throw FileError(number, std::string("Impossibile leggere l'ingresso standard.") + kLineBreak +
                                DescribeSystemError(number));
}

void StandardOutput::WriteAll(const char* data, std::size_t size) {
    if (m_lost) {
        throw OutputLost{*m_lost};
    }
    while (size > 0) {
        const auto request = static_cast<DWORD>(std::min(size, kLargestTransfer));
        DWORD written = 0;
        const bool wrote =
            WriteFile(GetStdHandle(STD_OUTPUT_HANDLE), data, request, &written, nullptr) != 0;
        if (!wrote || written == 0) {
            m_lost = static_cast<int>(wrote ? ERROR_DISK_FULL : GetLastError());
            throw OutputLost{*m_lost};
        }
        data += written;
        size -= written;
    }
}

void AllowOpenFiles(std::size_t) {
    // Handles are not counted against a limit that a process could raise.
}

}  // namespace zirared
