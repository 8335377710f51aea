#include "file_error.h"

#include <string>
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

// Every sentence a file error can carry, written once for every system.
const char* SentenceOf(FileErrorKind kind) {
    switch (kind) {
        case FileErrorKind::DiskFull:
            return "Spazio insufficiente sul disco.";
        case FileErrorKind::QuotaExceeded:
            return "Quota disco superata.";
        case FileErrorKind::FileTooLarge:
            return "File troppo grande.";
        case FileErrorKind::AccessDenied:
            return "Permesso negato.";
        case FileErrorKind::ReadOnlyFileSystem:
            return "Il file system è di sola lettura.";
        case FileErrorKind::NotFound:
            return "File o cartella inesistente.";
        case FileErrorKind::IsADirectory:
            return "È una cartella.";
        case FileErrorKind::NotADirectory:
            return "Una parte del percorso non è una cartella.";
        case FileErrorKind::InputOutput:
            return "Errore di input/output.";
        case FileErrorKind::OutOfMemory:
            return "Memoria insufficiente.";
        case FileErrorKind::NameTooLong:
            return "Nome del file troppo lungo.";
        case FileErrorKind::TooManyLinksInPath:
            return "Troppi collegamenti simbolici nel percorso.";
        case FileErrorKind::TooManyOpenFiles:
            return "Troppi file aperti.";
        case FileErrorKind::AlreadyExists:
            return "Il file esiste già.";
        case FileErrorKind::InUse:
            return "Il file è in uso.";
        case FileErrorKind::OnAnotherFileSystem:
            return "Il file si trova su un altro file system.";
        case FileErrorKind::NoSuchDevice:
            return "Dispositivo inesistente.";
        case FileErrorKind::DeviceNotReady:
            return "Il dispositivo non è pronto.";
        case FileErrorKind::InvalidArgument:
            return "Argomento non valido.";
        case FileErrorKind::InvalidName:
            return "Nome di file non valido.";
        case FileErrorKind::TemporarilyUnavailable:
            return "Risorsa temporaneamente non disponibile.";
        case FileErrorKind::NoLongerAvailable:
            return "Il file non è più disponibile (file system di rete).";
        case FileErrorKind::TooManyLinks:
            return "Troppi collegamenti al file.";
        case FileErrorKind::FolderNotEmpty:
            return "La cartella non è vuota.";
        case FileErrorKind::ValueTooLarge:
            return "Valore troppo grande per il tipo di dati.";
        case FileErrorKind::NotSupported:
            return "Operazione non supportata dal file system.";
        case FileErrorKind::BadDescriptor:
            return "Descrittore di file non valido.";
        case FileErrorKind::Interrupted:
            return "Operazione interrotta.";
        case FileErrorKind::TimedOut:
            return "Tempo scaduto.";
        case FileErrorKind::NoLocks:
            return "Nessun lock disponibile.";
        case FileErrorKind::BrokenPipe:
            return "Pipe interrotta: il programma che leggeva i dati è terminato.";
        case FileErrorKind::NotRegularFile:
            return "Non è un file ordinario.";
        case FileErrorKind::NoSha256:
            return "La libreria di crittografia non calcola lo SHA-256.";
    }
    return "";
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

std::string DescribeSystemError(int number) {
    const std::optional<FileErrorKind> kind = KindOfSystemError(number);
    return kind ? SentenceOf(*kind) : "Errore di sistema n° " + std::to_string(number) + ".";
}

FileError SystemError(int number, const std::string& path, FileAction action) {
    return FileError(number, DescribeSystemError(number), path, action);
}

FileError NotRegularFileError(const std::string& path) {
    return FileError(kNotRegularFileNumber, SentenceOf(FileErrorKind::NotRegularFile), path,
                     FileAction::Open);
}

FileError Sha256UnavailableError() {
    return FileError(kSha256UnavailableNumber, SentenceOf(FileErrorKind::NoSha256));
}

}  // namespace zirared
