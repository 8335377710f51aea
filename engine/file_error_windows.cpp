// The Windows half of file_error.h: Win32 error codes (GetLastError), each cause that a
// POSIX system shares described by the same Italian sentence as there.
#include <windows.h>

#include <string>

#include "file_error.h"
#include "windows_error_codes.h"

namespace zirared {

std::string DescribeSystemError(int number) {
    switch (number) {
        case ERROR_DISK_FULL:
        case ERROR_HANDLE_DISK_FULL:
            return "Spazio insufficiente sul disco.";
        case ERROR_FILE_TOO_LARGE:
            return "File troppo grande.";
        case ERROR_ACCESS_DENIED:
        case ERROR_PRIVILEGE_NOT_HELD:
            return "Permesso negato.";
        case ERROR_WRITE_PROTECT:
            return "Il file system è di sola lettura.";
        case ERROR_FILE_NOT_FOUND:
        case ERROR_PATH_NOT_FOUND:
        case ERROR_INVALID_DRIVE:
        case ERROR_BAD_NETPATH:
            return "File o cartella inesistente.";
        case ERROR_DIRECTORY_NOT_SUPPORTED:
            return "È una cartella.";
        case ERROR_DIRECTORY:
            return "Una parte del percorso non è una cartella.";
        case ERROR_READ_FAULT:
        case ERROR_WRITE_FAULT:
        case ERROR_GEN_FAILURE:
        case ERROR_CRC:
        case ERROR_SECTOR_NOT_FOUND:
        case ERROR_HANDLE_EOF:
        case ERROR_IO_DEVICE:
            return "Errore di input/output.";
        case ERROR_NOT_ENOUGH_MEMORY:
        case ERROR_OUTOFMEMORY:
            return "Memoria insufficiente.";
        case ERROR_FILENAME_EXCED_RANGE:
            return "Nome del file troppo lungo.";
        case ERROR_CANT_RESOLVE_FILENAME:
            return "Troppi collegamenti simbolici nel percorso.";
        case ERROR_TOO_MANY_OPEN_FILES:
            return "Troppi file aperti.";
        case ERROR_FILE_EXISTS:
        case ERROR_ALREADY_EXISTS:
            return "Il file esiste già.";
        case ERROR_SHARING_VIOLATION:
        case ERROR_LOCK_VIOLATION:
        case ERROR_USER_MAPPED_FILE:
            return "Il file è in uso.";
        case ERROR_NOT_SAME_DEVICE:
            return "Il file si trova su un altro file system.";
        case ERROR_DEV_NOT_EXIST:
            return "Dispositivo inesistente.";
        case ERROR_NOT_READY:
            return "Il dispositivo non è pronto.";  // a drive without its disk
        case ERROR_INVALID_PARAMETER:
            return "Argomento non valido.";
        case ERROR_INVALID_NAME:
        case ERROR_NO_UNICODE_TRANSLATION:
            return "Nome di file non valido.";
        case ERROR_NETNAME_DELETED:
            return "Il file non è più disponibile (file system di rete).";
        case ERROR_TOO_MANY_LINKS:
            return "Troppi collegamenti al file.";
        case ERROR_DIR_NOT_EMPTY:
            return "La cartella non è vuota.";
        case ERROR_ARITHMETIC_OVERFLOW:
            return "Valore troppo grande per il tipo di dati.";
        case ERROR_NOT_SUPPORTED:
        case ERROR_INVALID_FUNCTION:
            return "Operazione non supportata dal file system.";
        case ERROR_INVALID_HANDLE:
            return "Descrittore di file non valido.";
        case ERROR_OPERATION_ABORTED:
            return "Operazione interrotta.";
        case ERROR_SEM_TIMEOUT:
            return "Tempo scaduto.";
        case ERROR_BAD_FILE_TYPE:
            return "Non è un file ordinario.";
        default:
            return "Errore di sistema n° " + std::to_string(number) + ".";
    }
}

// A console, pipe or device where a file on a disk was expected.
const int kNotRegularFileNumber = ERROR_BAD_FILE_TYPE;

const int kIsADirectoryNumber = ERROR_DIRECTORY_NOT_SUPPORTED;
const int kOutOfMemoryNumber = ERROR_NOT_ENOUGH_MEMORY;

}  // namespace zirared
