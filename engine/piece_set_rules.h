#pragma once

#include <cstdint>
#include <span>
#include <string>

#include "file_streams.h"
#include "piece_set.h"

namespace zirared {

// The rules a reader applies to a piece set, shared by the assembly and the set check so
// that a set the check passes is one the assembly rebuilds, and the other way round.

enum class FirstPieceVerdict {
    Valid,
    NotValid,     // no magic, a name too short to cut, a suffix leading out of the directory,
                  // or a count of 000 (a set without pieces)
    NotTheFirst,  // a piece, but not piece 000
};

struct SetOpening {
    FirstPieceVerdict verdict = FirstPieceVerdict::NotValid;
    std::string stem;         // the chosen path without its last three characters
    std::string rebuiltPath;  // stem + the header's suffix, decoded from Windows-1252
};

// Opens path in file and reads the header at its start, leaving file open after it; bytes
// receives a view of the bytes read (valid as InputFile::Read's). Nothing at path reads as an
// empty file, without magic, and leaves file closed. Throws FileError as InputFile does.
PieceHeader ReadPieceHeader(InputFile& file, const std::string& path, std::span<const char>& bytes);

// Judges the file the user chose from its header and derives the set's names.
SetOpening OpenPieceSet(const std::string& chosenPath, const PieceHeader& header);

enum class PieceVerdict {
    Fits,
    NotAPiece,      // no magic
    OutOfSequence,  // its index is not its place in the set
    OtherSet,       // its count or suffix is not the first piece's
    WrongLength,    // a header cut short, or lengths no split writes: piece 0 not a whole
                    // number of size units, a middle piece unlike piece 0, the last not shorter
};

// Judges piece j of the set opened by first; lengths are whole file lengths, header included.
// The first rule broken wins, in the order of the enumeration.
PieceVerdict JudgePiece(const PieceHeader& first, int j, const PieceHeader& header,
                        std::int64_t length, std::int64_t pieceZeroLength);

// True when writing the rebuilt file would write into the chosen file or one of pieces
// 0 .. count-1, compared by name and, where the files exist, by identity (hard links).
// judged holds the identities of the first pieces as their open files gave them, so those
// are not looked up again.
bool RebuiltPathIsRead(const std::string& chosenPath, const SetOpening& opening, int count,
                       std::span<const FileIdentity> judged = {});

}  // namespace zirared
