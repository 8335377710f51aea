// The POSIX half of file_error.h: errno values and their Italian sentences.
#include <cerrno>
#include <string>

#include "file_error.h"

namespace zirared {

std::string DescribeSystemError(int number) {
    switch (number) {
        case ENOSPC:
            return "Spazio insufficiente sul disco.";
        case EDQUOT:
            return "Quota disco superata.";
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
        case ENOTDIR:
            return "Una parte del percorso non è una cartella.";
        case EIO:
            return "Errore di input/output.";
        case ENOMEM:
            return "Memoria insufficiente.";
        case ENAMETOOLONG:
            return "Nome del file troppo lungo.";
        case ELOOP:
            return "Troppi collegamenti simbolici nel percorso.";
        case EMFILE:
        case ENFILE:
            return "Troppi file aperti.";
        case EEXIST:
            return "Il file esiste già.";
        case EBUSY:
        case ETXTBSY:
            return "Il file è in uso.";
        case EXDEV:
            return "Il file si trova su un altro file system.";
        case ENXIO:
        case ENODEV:
            return "Dispositivo inesistente.";
        case EINVAL:
            return "Argomento non valido.";
        case EAGAIN:
            return "Risorsa temporaneamente non disponibile.";
        case ESTALE:
            return "Il file non è più disponibile (file system di rete).";
        case EMLINK:
            return "Troppi collegamenti al file.";
        case ENOTEMPTY:
            return "La cartella non è vuota.";
        case EOVERFLOW:
            return "Valore troppo grande per il tipo di dati.";
        case ENOTSUP:
            return "Operazione non supportata dal file system.";
        case EBADF:
            return "Descrittore di file non valido.";
        case EINTR:
            return "Operazione interrotta.";
        case ETIMEDOUT:
            return "Tempo scaduto.";
        case ENOLCK:
            return "Nessun lock disponibile.";
        case EPIPE:
            return "Pipe interrotta: il programma che leggeva i dati è terminato.";
        default:
            return "Errore di sistema n° " + std::to_string(number) + ".";
    }
}

// EINVAL is the code the system itself gives when a file's type does not allow the request.
const int kNotRegularFileNumber = EINVAL;

const int kIsADirectoryNumber = EISDIR;
const int kOutOfMemoryNumber = ENOMEM;

}  // namespace zirared
