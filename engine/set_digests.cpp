#include "set_digests.h"

#include <algorithm>

#include "message_text.h"
#include "path_queries.h"
#include "piece_set.h"
#include "sha256_list.h"
#include "shown_name.h"

namespace zirared {

namespace {

std::string NameInFolder(const std::string& path) {
    return path.substr(DirectoryPart(path).size());
}

// Three digits, or more for a plain set past 999.
bool IsPieceNameOf(std::string_view name, std::string_view stemName) {
    return name.size() >= stemName.size() + 3 && name.starts_with(stemName) &&
           std::all_of(name.begin() + static_cast<std::ptrdiff_t>(stemName.size()), name.end(),
                       [](char c) { return c >= '0' && c <= '9'; });
}

SetDigestsLookup Unusable(std::string problem) {
    SetDigestsLookup lookup;
    lookup.state = ListState::Unusable;
    lookup.problem = std::move(problem);
    return lookup;
}

}  // namespace

std::string ListPathFor(const std::string& rebuiltPath) {
    return rebuiltPath + std::string(kListExtension);
}

std::vector<std::string> ListNamesOfSet(const std::string& stem, int pieceCount,
                                        const std::string& rebuiltPath) {
    std::vector<std::string> paths;
    paths.reserve(static_cast<std::size_t>(pieceCount) + 1);
    for (int j = 0; j < pieceCount; ++j) {
        paths.push_back(PiecePath(stem, j));
    }
    paths.push_back(rebuiltPath);
    return ListNamesOf(paths);
}

std::vector<std::string> ListNamesOf(const std::vector<std::string>& paths) {
    std::vector<std::string> names;
    names.reserve(paths.size());
    for (const std::string& path : paths) {
        names.push_back(NameInFolder(path));
    }
    return names;
}

SetDigestsLookup LookUpSetDigests(const std::string& stem, int pieceCount,
                                  const std::string& rebuiltPath) {
    std::vector<std::string> piecePaths;
    for (int j = 0; j < pieceCount; ++j) {
        piecePaths.push_back(PiecePath(stem, j));
    }
    return LookUpListedDigests(ListPathFor(rebuiltPath), DigestKind::Sha256, piecePaths,
                               rebuiltPath, false);
}

SetDigestsLookup LookUpListedDigests(const std::string& listPath, DigestKind kind,
                                     const std::vector<std::string>& piecePaths,
                                     const std::string& rebuiltPath, bool eitherSide) {
    if (!KindOfPath(listPath)) {
        return {};
    }
    const ParsedList parsed = ReadListFile(listPath, kind);
    if (parsed.error) {
        return Unusable(UnusableListText(listPath, parsed.error->Description()));
    }
    std::vector<std::string> paths = piecePaths;
    paths.push_back(rebuiltPath);
    const std::vector<std::string> names = ListNamesOf(paths);
    ListMatch match = MatchList(parsed.lines, names);
    SetDigestsLookup lookup;
    lookup.state = ListState::Usable;
    lookup.digests.listPath = listPath;
    lookup.digests.kind = kind;
    const bool rebuiltOnly =
        eitherSide && match.digests.back() &&
        std::none_of(match.digests.begin(), match.digests.end() - 1,
                     [](const std::optional<Sha256Digest>& digest) { return digest.has_value(); });
    lookup.digests.piecesListed = !rebuiltOnly;
    for (std::size_t i = rebuiltOnly ? names.size() - 1 : 0; i < names.size(); ++i) {
        const bool isRebuilt = i + 1 == names.size();
        if (!match.digests[i]) {
            if (isRebuilt && eitherSide) {
                lookup.digests.rebuiltListed = false;
                break;
            }
            return Unusable(
                UnusableListText(listPath, "Manca la riga del file " + ShownName(paths[i]) + "."));
        }
        if (!isRebuilt) {
            lookup.digests.pieces.push_back(*match.digests[i]);
        } else {
            lookup.digests.rebuilt = *match.digests[i];
        }
    }
    lookup.digests.ignoredNames = std::move(match.foreignNames);
    return lookup;
}

std::string UnusableListText(const std::string& listPath, const std::string& reason) {
    return "Impossibile usare l'elenco di controllo " + ShownName(listPath) + ": " + reason;
}

std::string AlteredPieceText(const std::string& piecePath, const std::string& listPath) {
    return "Il file " + ShownName(piecePath) +
           " è stato alterato: il suo contenuto non corrisponde all'elenco di controllo " +
           ShownName(listPath) + ".";
}

std::string AlteredRebuiltText(const std::string& rebuiltPath, const std::string& listPath) {
    return "Il file riassemblato " + ShownName(rebuiltPath) +
           " non corrisponde all'elenco di controllo " + ShownName(listPath) + ".";
}

std::string IgnoredNamesText(const std::string& listPath, const std::vector<std::string>& names) {
    std::string text = "L'elenco di controllo " + ShownName(listPath) +
                       " nomina file che non fanno parte della sequenza; sono stati ignorati:";
    for (const std::string& name : names) {
        text += kLineBreak + ShownName(name);
    }
    return text;
}

std::string VerifiedText(const std::string& listPath) {
    return "Il contenuto è stato verificato con il file " + ShownName(listPath) + ".";
}

bool IsListOfEarlierSplit(const std::string& listPath, const std::string& sourcePath,
                          const std::string& stem) {
    if (KindOfPath(listPath) != PathKind::Regular) {
        return false;
    }
    const ParsedList parsed = ReadListFile(listPath);
    if (parsed.error) {
        return false;
    }
    const std::string sourceName = NameInFolder(sourcePath);
    const std::string stemName = NameInFolder(stem);
    bool namesAPiece = false;
    for (const ListLine& line : parsed.lines) {
        if (IsPieceNameOf(line.name, stemName)) {
            namesAPiece = true;
        } else if (line.name != sourceName) {
            return false;
        }
    }
    return namesAPiece;
}

}  // namespace zirared
