#pragma once

#include <cstddef>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "plain_set.h"
#include "sha256_hasher.h"

namespace zirared {

// The list of digests a split can write beside its pieces, in the text format of
// sha256sum, so that `sha256sum -c` checks a set anywhere. A list comes back from other
// people's disks and mail gateways: it is read as untrusted input, strictly and within
// fixed bounds, and only the names of the set it describes are ever looked up.

inline constexpr std::string_view kListExtension = ".sha256";
// One line per piece and one for the source; the rest is slack, not room for another set. A
// plain set may have more pieces than our own (plain_set.h), each named at most 255 bytes.
inline constexpr std::size_t kMaxListLines = kMaxPlainPieceCount + 3;
inline constexpr std::size_t kMaxListBytes = 4'194'304;

// "<64 hex>  <name>\n". A name holding a backslash, line feed or carriage return is
// written as sha256sum writes it: the line starts with '\' and those characters become
// \\, \n and \r.
std::string FormatListLine(std::string_view name, const Sha256Digest& digest);

struct ListLine {
    std::string name;  // the escapes undone
    Sha256Digest digest{};
    int lineNumber = 0;  // from 1
};

struct ListError {
    int lineNumber = 0;  // 0: the list as a whole
    std::string reason;  // Italian, one sentence
    // "Riga <n>: <reason>", or the reason alone for the whole list.
    std::string Description() const;
};

struct ParsedList {
    std::vector<ListLine> lines;
    std::optional<ListError> error;  // set: lines is empty, the list is unusable
};

// Accepts the lines sha256sum -c (md5sum -c for DigestKind::Md5) accepts from a list it wrote (text
// or binary marker, the digest in either case, a final CR LF or a missing final line break);
// refuses anything else (comments, other formats, blank lines, a name given twice, bad escapes)
// with the number of the first offending line.
ParsedList ParseList(std::string_view text, DigestKind kind = DigestKind::Sha256);

// Reads and parses the list file at path; an unreadable or oversized file is a ListError
// (the caller names the file). Never reads more than kMaxListBytes.
ParsedList ReadListFile(const std::string& path, DigestKind kind = DigestKind::Sha256);

// The list's digests for a set's own file names (plain names in the list's folder).
// Lines naming anything else - a path, "..", another file - are ignored and returned so
// the caller can report them; their names are never opened.
struct ListMatch {
    std::vector<std::optional<Sha256Digest>> digests;  // one per own name, same order
    std::vector<std::string> foreignNames;
};
ListMatch MatchList(std::span<const ListLine> lines, std::span<const std::string> ownNames);

}  // namespace zirared
