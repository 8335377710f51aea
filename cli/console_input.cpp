#include "console_input.h"

#include <windows.h>

#include "windows_path.h"

namespace zirared {

ConsoleInputBuffer::int_type ConsoleInputBuffer::underflow() {
    if (gptr() < egptr()) {
        return traits_type::to_int_type(*gptr());
    }
    wchar_t characters[512];
    DWORD count = 0;
    // A failed read includes Ctrl-C while a question waits: the question ends as No, as an
    // interrupted read does elsewhere.
    if (!ReadConsoleW(m_console, characters, 512, &count, nullptr)) {
        return traits_type::eof();
    }
    if (count == 0 || characters[0] == L'\x1A') {  // Ctrl-Z at the start of a line ends input
        return traits_type::eof();
    }
    std::wstring text = m_carried + std::wstring(characters, count);
    m_carried.clear();
    if (IS_HIGH_SURROGATE(text.back())) {
        m_carried = text.back();
        text.pop_back();
    }
    m_bytes = Utf8FromWide(text);
    if (m_bytes.empty()) {
        return underflow();
    }
    setg(m_bytes.data(), m_bytes.data(), m_bytes.data() + m_bytes.size());
    return traits_type::to_int_type(*gptr());
}

}  // namespace zirared
