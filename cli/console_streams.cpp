#include "console_streams.h"

#include <windows.h>

#include "utf8.h"
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

ConsoleOutputBuffer::int_type ConsoleOutputBuffer::overflow(int_type character) {
    if (!traits_type::eq_int_type(character, traits_type::eof())) {
        m_pending.push_back(traits_type::to_char_type(character));
    }
    return traits_type::not_eof(character);
}

std::streamsize ConsoleOutputBuffer::xsputn(const char* text, std::streamsize count) {
    m_pending.append(text, static_cast<std::size_t>(count));
    return count;
}

int ConsoleOutputBuffer::sync() {
    // Hold back a character whose bytes have not all arrived.
    std::size_t complete = m_pending.size();
    for (std::size_t back = 1; back <= 3 && back <= m_pending.size(); ++back) {
        const char last = m_pending[m_pending.size() - back];
        if (IsUtf8Continuation(last)) {
            continue;
        }
        const auto byte = static_cast<unsigned char>(last);
        if (byte >= 0xC0) {  // a lead byte: is its sequence whole?
            const std::size_t length = byte >= 0xF0 ? 4 : byte >= 0xE0 ? 3 : 2;
            if (length > back) {
                complete = m_pending.size() - back;
            }
        }
        break;
    }
    const std::wstring wide =
        WideFromUtf8(std::string_view(m_pending).substr(0, complete)).value_or(L"\uFFFD");
    m_pending.erase(0, complete);
    DWORD written = 0;
    return wide.empty() || WriteConsoleW(m_console, wide.data(), static_cast<DWORD>(wide.size()),
                                         &written, nullptr)
               ? 0
               : -1;
}

}  // namespace zirared
