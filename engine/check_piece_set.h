#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace zirared {

// Why a set cannot be rebuilt as it stands. The texts are Italian, one line each.
enum class SetProblemKind {
    NotValid,         // the chosen file: "Questo non è un file valido!"
    NotTheFirst,      // the chosen file: "Questo non è il primo file della sequenza!"
    Missing,          // nothing at the path
    Unreadable,       // the system refused to read it (a directory, a device, an I/O error)
    NotAPiece,        // a piece's name, but no magic
    OutOfSequence,    // its index is not its place in the set
    OtherSet,         // its count or suffix differs from the first piece's
    WrongLength,      // cut short or grown: not as long as piece 0, or the last one longer
    RebuiltIsAPiece,  // the rebuilt file would overwrite a file the assembly reads
    ListUnusable,     // the set's digest list cannot be read, or lacks a line for a file
    Altered,          // its content differs from the digest list's (a piece, or the data of
                      // all pieces against the rebuilt file's line)
};

struct SetProblem {
    SetProblemKind kind;
    std::string path;
    std::string text;
};

// Worth knowing, but no obstacle to rebuilding the set.
enum class SetNoteKind {
    LeftoverPiece,          // a file named like a piece beyond the count, never read
    RebuiltNotReplaceable,  // something at the rebuilt path that the assembly cannot replace
    ListLinesIgnored,       // lines of the digest list that name no file of the set
    TemporaryFile,          // a split's or join's unfinished file for a file of the set
};

struct SetNote {
    SetNoteKind kind;
    std::string path;
    std::string text;
};

struct SetCheckReport {
    // Every problem found: the chosen file's, or the pieces' in index order, then the digest
    // list's in index order, then the rebuilt path's.
    std::vector<SetProblem> problems;
    std::vector<SetNote> notes;
    int pieceCount = 0;            // from the chosen file's header; 0 when it is not a first piece
    std::string rebuiltPath;       // empty when the chosen file is not a first piece
    std::int64_t rebuiltSize = 0;  // the data bytes of every piece found, headers excluded
    bool rebuiltExists = false;    // the assembly would ask before replacing it
    std::string listPath;          // the set's digest list; empty when it has none
    int verifiedPieces = 0;        // pieces whose content matches the list

    // Complete and consistent: every piece is there and belongs, so the assembly rebuilds the
    // file, unless a note says the rebuilt path is blocked.
    bool IsConsistent() const { return problems.empty(); }
};

// Reads the set that firstPiece (UTF-8 path) opens, by the assembly's own rules, and reports
// every problem at once. It writes nothing and never asks the user anything. When the set
// has a digest list, every piece is read whole and checked against it.
SetCheckReport CheckPieceSet(const std::string& firstPiece);

// The check's conclusion in one sentence: the set is complete and consistent, or it cannot be
// rebuilt and how many problems stand in the way.
std::string CheckVerdictText(const SetCheckReport& report);

}  // namespace zirared
