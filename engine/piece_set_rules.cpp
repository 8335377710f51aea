#include "piece_set_rules.h"

#include "path_queries.h"
#include "windows1252.h"

namespace zirared {

PieceHeader ReadPieceHeader(InputFile& file, const std::string& path,
                            std::span<const char>& bytes) {
    bytes = {};
    if (file.OpenIfExists(path)) {
        bytes = file.Read(kHeaderBytes);
    }
    return ParseHeader({bytes.data(), bytes.size()});
}

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
    const auto headerBytes = static_cast<std::int64_t>(kHeaderBytes);
    if (length < headerBytes) {
        return PieceVerdict::WrongLength;  // the header itself was cut
    }
    if (header.index != j) {
        return PieceVerdict::OutOfSequence;
    }
    if (header.count != first.count || header.suffix != first.suffix) {
        return PieceVerdict::OtherSet;
    }
    // The lengths a split writes: piece 0 and every middle piece carry the same whole number
    // of size units, the last piece strictly less (possibly nothing but its header).
    const std::int64_t pieceData = pieceZeroLength - headerBytes;
    const bool pieceZeroWhole = pieceData > 0 && pieceData % kSizeUnitBytes == 0;
    const bool last = j == first.count - 1;
    const bool fits = last ? length < pieceZeroLength && (j > 0 || pieceZeroWhole)
                           : length == pieceZeroLength && pieceZeroWhole;
    return fits ? PieceVerdict::Fits : PieceVerdict::WrongLength;
}

bool RebuiltPathIsRead(const std::string& chosenPath, const SetOpening& opening, int count,
                       std::span<const FileIdentity> judged) {
    const auto rebuiltIdentity = IdentityOf(opening.rebuiltPath);
    const auto isRebuilt = [&](const std::string& path, const FileIdentity* known) {
        if (path == opening.rebuiltPath) {
            return true;
        }
        return rebuiltIdentity &&
               (known ? *known == *rebuiltIdentity : IdentityOf(path) == rebuiltIdentity);
    };
    if (isRebuilt(chosenPath, nullptr)) {
        return true;
    }
    for (int j = 0; j < count; ++j) {
        const auto slot = static_cast<std::size_t>(j);
        if (isRebuilt(PiecePath(opening.stem, j), slot < judged.size() ? &judged[slot] : nullptr)) {
            return true;
        }
    }
    return false;
}

}  // namespace zirared
