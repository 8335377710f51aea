#include "file_error.h"

#include <utility>

#include "message_text.h"
#include "shown_name.h"

namespace zirared {
namespace {

const char* Verb(FileAction action) {
    switch (action) {
        case FileAction::Open:
            return "aprire";
        case FileAction::Read:
            return "leggere";
        case FileAction::Create:
            return "creare";
        case FileAction::Write:
            return "scrivere";
        case FileAction::Replace:
            return "sostituire";
        case FileAction::Delete:
            return "cancellare";
    }
    return "usare";
}

}  // namespace

FileError::FileError(int number, std::string cause, std::string path, FileAction action)
    : std::runtime_error(cause),
      m_number(number),
      m_cause(std::move(cause)),
      m_path(std::move(path)),
      m_description(m_path.empty() ? m_cause
                                   : std::string("Impossibile ") + Verb(action) + " il file " +
                                         ShownName(m_path) + kLineBreak + m_cause) {}

FileError SystemError(int number, const std::string& path, FileAction action) {
    return FileError(number, DescribeSystemError(number), path, action);
}

FileError NotRegularFileError(const std::string& path) {
    return FileError(kNotRegularFileNumber, "Non è un file ordinario.", path, FileAction::Open);
}

}  // namespace zirared
