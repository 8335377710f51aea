#pragma once

#include <string>

#include "piece_set_rules.h"

namespace zirared {

// The sentences that say why a piece does not belong to its set, naming the piece at path;
// empty for a piece that fits.

// One line: "Il file 'X' è fuori dalla sequenza!", and so on; the set check adds the details.
std::string PieceVerdictSentence(PieceVerdict verdict, const std::string& path);
// The join's warning. A piece of another set is out of its sequence there (it must not pass
// as rebuilt); a file without a header is reported on three lines.
std::string PieceVerdictText(PieceVerdict verdict, const std::string& path);
// "Il file 'X' non esiste!": a piece of the set that is not there.
std::string MissingFileSentence(const std::string& path);

}  // namespace zirared
