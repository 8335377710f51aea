#pragma once

#include <stdexcept>
#include <string>

namespace zirared {

// What the program was doing to a file when the system refused.
enum class FileAction { Open, Read, Create, Write, Replace, Delete };

// A failure of the file layer as the user sees it: the system's error code, the file
// concerned and a readable Italian description. The operations catch it in their one
// failure trap.
class FileError : public std::runtime_error {
public:
    // cause: the Italian sentence for the error; path: the file the user knows it by.
    FileError(int number, std::string cause, std::string path = {},
              FileAction action = FileAction::Open);

    int Number() const { return m_number; }
    // "Impossibile scrivere il file /p/report.001" CR LF cause; the cause alone without a path.
    const std::string& Description() const { return m_description; }
    const std::string& Cause() const { return m_cause; }
    const std::string& Path() const { return m_path; }

private:
    int m_number;
    std::string m_cause;
    std::string m_path;
    std::string m_description;
};

// The Italian sentence for a system error code of this platform's file layer.
std::string DescribeSystemError(int number);

// The error for system code number met while doing action to path.
FileError SystemError(int number, const std::string& path = {},
                      FileAction action = FileAction::Open);

// The error code and sentence for a path that is not a regular file (a FIFO, socket or
// device): such a file is never opened, since opening or reading it may block.
extern const int kNotRegularFileNumber;
FileError NotRegularFileError(const std::string& path);

}  // namespace zirared
