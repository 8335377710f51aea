#pragma once

#include <span>
#include <string>

#include "piece_size.h"

namespace zirared {

enum class CliCommand { Split, Join, Check, Help, Version, UsageError };

// What the user asked for on the command line. For UsageError, error holds the
// Italian reason; the other fields keep their defaults.
struct CommandLine {
    CliCommand command = CliCommand::UsageError;
    // split --size: the size asked, as the user wrote it, and in size units (kSizeUnitKB) for
    // pieces with a header; one floppy disk unless --size says.
    PieceSize pieceSize{true, 1};
    std::string sizeWord = "1";
    int sizeSetting = 1;
    bool assumeYes = false;
    bool deletePieces = false;
    bool writeList = false;         // split --hash: a digest list beside the pieces
    bool plain = false;             // split --plain: headerless pieces FILE.001, ... (plain_set.h)
    bool verifyList = true;         // join: checked against the set's digest list when it has one
    bool toStandardOutput = false;  // join --output -: the rebuilt bytes go to standard output
    std::string path;  // "-" for split: the data come from standard input, named by --name
    std::string name;  // split --name: the file the pieces of standard input rebuild
    std::string error;
};

// The path that stands for a standard stream: split's input, join's --output.
inline constexpr const char* kStandardStream = "-";

// The unit counts --size takes, in words: "da 1 a 2995".
std::string SizeRangeText();

// arguments excludes the program name.
CommandLine ParseCommandLine(std::span<const std::string> arguments);

}  // namespace zirared
