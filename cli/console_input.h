#pragma once

#include <streambuf>
#include <string>

namespace zirared {

// Standard input read from a Windows console as UTF-8, whatever the console's code page:
// ReadConsoleW hands over the typed characters in UTF-16, so "sì" arrives whole.
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

}  // namespace zirared
