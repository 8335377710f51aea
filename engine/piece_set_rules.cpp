#include "piece_set_rules.h"

#include "file_layer.h"
#include "windows1252.h"

namespace zirared {

SetOpening OpenPieceSet(const std::string& chosenPath, const PieceHeader& header) {
    const NameCut cut = CutLastThreeCharacters(chosenPath);
    const std::string suffix = DecodeWindows1252({header.suffix.data(), header.suffix.size()});
    // Besides a wrong magic: a name whose last three characters reach into the directory and
    // a suffix that would lead out of it are not piece sets.
    if (!header.magicValid || cut.check != NameCheck::Ok || !SuffixIsPlainName(suffix)) {
        return {};
    }
    if (header.index != 0) {
        return {FirstPieceVerdict::NotTheFirst, {}, {}};
    }
    if (header.count == 0) {
        return {};
    }
    return {FirstPieceVerdict::Valid, cut.stem, cut.stem + suffix};
}

PieceVerdict JudgePiece(const PieceHeader& first, int j, const PieceHeader& header,
                        std::int64_t length, std::int64_t pieceZeroLength) {
    if (!header.magicValid) {
        return PieceVerdict::NotAPiece;
    }
    if (header.index != j) {
        return PieceVerdict::OutOfSequence;
    }
    if (header.count != first.count || header.suffix != first.suffix) {
        return PieceVerdict::OtherSet;
    }
    const bool last = j == first.count - 1;
    if ((!last && length != pieceZeroLength) || (last && length > pieceZeroLength)) {
        return PieceVerdict::WrongLength;
    }
    return PieceVerdict::Fits;
}

bool RebuiltPathIsRead(const std::string& chosenPath, const SetOpening& opening, int count) {
    const auto rebuiltIdentity = IdentityOf(opening.rebuiltPath);
    const auto isRebuilt = [&](const std::string& path) {
        return path == opening.rebuiltPath ||
               (rebuiltIdentity && IdentityOf(path) == rebuiltIdentity);
    };
    if (isRebuilt(chosenPath)) {
        return true;
    }
    for (int j = 0; j < count; ++j) {
        if (isRebuilt(PiecePath(opening.stem, j))) {
            return true;
        }
    }
    return false;
}

}  // namespace zirared
