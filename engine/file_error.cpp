#include "file_error.h"

#include <cerrno>
#include <cstring>
#include <utility>

namespace zirared {

FileError::FileError(int number, std::string description)
    : std::runtime_error(description), m_number(number), m_description(std::move(description)) {}

std::string DescribeSystemError(int number) {
    switch (number) {
        case ENOSPC:
            return "Spazio insufficiente sul disco.";
        case EFBIG:
            return "File troppo grande.";
        case EACCES:
        case EPERM:
            return "Permesso negato.";
        case EROFS:
            return "Il file system è di sola lettura.";
        case ENOENT:
            return "File o cartella inesistente.";
        case EISDIR:
            return "È una cartella.";
        case EIO:
            return "Errore di input/output.";
        case ENOMEM:
            return "Memoria insufficiente.";
        default:
            return std::strerror(number);
    }
}

FileError SystemError(int number) {
    return FileError(number, DescribeSystemError(number));
}

}  // namespace zirared
