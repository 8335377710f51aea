#pragma once

#include <stdexcept>
#include <string>

namespace zirared {

// A failure of the file layer as the user sees it: the system's error code and a readable
// Italian description. The operations catch it in their one failure trap.
class FileError : public std::runtime_error {
public:
    FileError(int number, std::string description);

    int Number() const { return m_number; }
    const std::string& Description() const { return m_description; }

private:
    int m_number;
    std::string m_description;
};

// An Italian sentence for the common causes, the system's own text otherwise.
std::string DescribeSystemError(int number);

// The error for errno value number, described by DescribeSystemError.
FileError SystemError(int number);

}  // namespace zirared
