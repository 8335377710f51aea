#pragma once

#include <streambuf>
#include <string>

namespace zirared {

// Text to and from a Windows console in UTF-16, whatever the console's code pages: the
// program's own text is UTF-8 throughout.

// Standard input: ReadConsoleW hands over the typed characters, so "sì" arrives whole.
class ConsoleInputBuffer final : public std::streambuf {
public:
    explicit ConsoleInputBuffer(void* console) : m_console(console) {}

protected:
    int_type underflow() override;

private:
    void* m_console;  // a HANDLE
    std::string m_bytes;
    std::wstring m_carried;  // the first half of a surrogate pair that a read cut in two
};

// Standard output or error: written with WriteConsoleW at each flush. Byte writes would be
// decoded by the C library's locale on some systems (Wine's among them), whatever
// SetConsoleOutputCP says.
class ConsoleOutputBuffer final : public std::streambuf {
public:
    explicit ConsoleOutputBuffer(void* console) : m_console(console) {}
    ~ConsoleOutputBuffer() override { sync(); }
    ConsoleOutputBuffer(const ConsoleOutputBuffer&) = delete;
    ConsoleOutputBuffer& operator=(const ConsoleOutputBuffer&) = delete;

protected:
    int_type overflow(int_type character) override;
    std::streamsize xsputn(const char* text, std::streamsize count) override;
    int sync() override;

private:
    void* m_console;        // a HANDLE
    std::string m_pending;  // UTF-8 not written yet; may end inside a character
};

}  // namespace zirared
