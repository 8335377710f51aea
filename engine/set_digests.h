#pragma once

#include <string>
#include <vector>

#include "sha256_hasher.h"

namespace zirared {

// The digest list that goes with a piece set: where it stands, what it says about each of
// the set's files, and the sentences that report a disagreement. The split writes it, the
// join and the check read it.

// <rebuilt path>.sha256: beside the pieces, named after the file they rebuild.
std::string ListPathFor(const std::string& rebuiltPath);

// The names a list uses for the set's files, relative to their folder: pieces 0 .. count-1
// in order, then the rebuilt file.
std::vector<std::string> ListNamesOfSet(const std::string& stem, int pieceCount,
                                        const std::string& rebuiltPath);
// The same for any files of one folder, in the order given.
std::vector<std::string> ListNamesOf(const std::vector<std::string>& paths);

struct SetDigests {
    std::string listPath;
    DigestKind kind = DigestKind::Sha256;  // the list's format, and the hashes to compute
    std::vector<Sha256Digest> pieces;      // index order
    Sha256Digest rebuilt{};
    // A plain set's list may name the pieces only, or the rebuilt file only (pieces then
    // holds no digest).
    bool rebuiltListed = true;
    bool piecesListed = true;
    // Lines naming anything but the set's own files: never opened, reported.
    std::vector<std::string> ignoredNames;
};

enum class ListState {
    NoList,    // nothing at the list's path: the set is joined as it always was
    Usable,    // a digest for every file of the set
    Unusable,  // unreadable, malformed, or without a line for one of the set's files
};

struct SetDigestsLookup {
    ListState state = ListState::NoList;
    SetDigests digests;   // when Usable
    std::string problem;  // when Unusable: names the list, and the file without a line
};

// What the join does with a set's digest list.
enum class ListUse {
    AskWhenUnusable,  // verify with a list; asks whether to go on without an unusable one
    Required,         // verify with a list; an unusable one stops the join
    Ignored,          // join without looking for a list
};

// Looks for the list of the set and takes from it the digest of every file of the set.
SetDigestsLookup LookUpSetDigests(const std::string& stem, int pieceCount,
                                  const std::string& rebuiltPath);
// The same for the pieces at piecePaths (in order) and the file they rebuild, from the list at
// listPath in kind's format. With eitherSide, a list with a line for every piece, or one for
// the rebuilt file alone, is usable too.
SetDigestsLookup LookUpListedDigests(const std::string& listPath, DigestKind kind,
                                     const std::vector<std::string>& piecePaths,
                                     const std::string& rebuiltPath, bool eitherSide);

// The sentences, Italian, one line each (but the list of ignored names), each naming the
// files concerned.
std::string UnusableListText(const std::string& listPath, const std::string& reason);
std::string AlteredPieceText(const std::string& piecePath, const std::string& listPath);
std::string AlteredRebuiltText(const std::string& rebuiltPath, const std::string& listPath);
std::string IgnoredNamesText(const std::string& listPath, const std::vector<std::string>& names);
// The line a verified join adds to its completion message.
std::string VerifiedText(const std::string& listPath);

// True when the file at listPath is a list an earlier split of sourcePath wrote: it parses,
// names at least one piece of that source (stem + three digits) and nothing but those
// pieces and the source. A new split removes such a list, which no longer describes the
// pieces; any other file of that name is the user's own and stays.
bool IsListOfEarlierSplit(const std::string& listPath, const std::string& sourcePath,
                          const std::string& stem);

}  // namespace zirared
