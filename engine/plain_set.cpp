#include "plain_set.h"

#include <string_view>

#include "path_queries.h"
#include "piece_set.h"
#include "piece_verdict_text.h"
#include "shown_name.h"

namespace zirared {
namespace {

constexpr std::string_view kMd5Extension = ".md5";

// Three digits are the name of the first piece: ".000" or ".001".
std::optional<int> FirstNumberOf(std::string_view path) {
    const std::size_t nameStart = FileNameOffset(path);
    if (path.size() < nameStart + 5 || path[path.size() - 4] != '.') {
        return std::nullopt;  // nothing before the dot would be left to rebuild
    }
    const std::string_view digits = path.substr(path.size() - 3);
    if (digits == "000") {
        return 0;
    }
    if (digits == "001") {
        return 1;
    }
    return std::nullopt;
}

// The highest number at or after first with a file standing there.
int HighestNumberPresent(const std::string& rebuiltPath, int first) {
    int highest = first;
    for (int number = first + 1; number < first + kMaxPlainPieceCount; ++number) {
        if (KindOfPath(PlainPiecePath(rebuiltPath, number))) {
            highest = number;
        } else if (number > static_cast<int>(kMaxPieceCount)) {
            break;  // past three digits only a run without gaps is looked at
        }
    }
    return highest;
}

std::string NameInFolder(const std::string& path) {
    return path.substr(FileNameOffset(path));
}

}  // namespace

std::string PlainPiecePath(const std::string& rebuiltPath, int number) {
    const std::string digits = std::to_string(number);
    return rebuiltPath + "." + std::string(digits.size() < 3 ? 3 - digits.size() : 0, '0') + digits;
}

std::vector<std::string> PlainSet::PiecePaths() const {
    std::vector<std::string> paths;
    paths.reserve(static_cast<std::size_t>(count));
    for (int j = 0; j < count; ++j) {
        paths.push_back(PieceAt(j));
    }
    return paths;
}

PlainSetFinding FindPlainSet(const std::string& chosenPath) {
    std::optional<int> first = FirstNumberOf(chosenPath);
    if (!first || !KindOfPath(chosenPath)) {
        return {};
    }
    PlainSetFinding finding;
    finding.set.rebuiltPath = chosenPath.substr(0, chosenPath.size() - 4);
    finding.opening = PlainOpening::First;
    if (*first == 1 && KindOfPath(PlainPiecePath(finding.set.rebuiltPath, 0))) {
        finding.opening = PlainOpening::NotTheFirst;
        first = 0;
    }
    // A set has two pieces at least: a lone file is a file. A second piece that starts like
    // ours makes the first one of our pieces with a damaged header, never plain data.
    const std::string second = PlainPiecePath(finding.set.rebuiltPath, *first + 1);
    if (!KindOfPath(second) || StartsWithMagic(LeadingBytes(second, kMagic.size()).value_or(""))) {
        return {};
    }
    finding.set.first = *first;
    finding.set.count = HighestNumberPresent(finding.set.rebuiltPath, *first) - *first + 1;
    return finding;
}

std::optional<std::string> PlainPieceProblem(const PlainSet& set, int j,
                                             std::optional<std::int64_t> length,
                                             std::int64_t firstLength) {
    const std::string path = set.PieceAt(j);
    if (!length) {
        return MissingFileSentence(path);
    }
    const bool last = j == set.count - 1;
    const bool fits = *length > 0 && (last ? *length <= firstLength : *length == firstLength);
    if (fits) {
        return std::nullopt;
    }
    const std::string expected = j == 0 ? std::string("almeno 1")
                                 : last ? "da 1 a " + std::to_string(firstLength)
                                        : std::to_string(firstLength);
    return PieceVerdictSentence(PieceVerdict::WrongLength, path) + " (" + std::to_string(*length) +
           " byte invece di " + expected + ")";
}

bool PlainRebuiltIsRead(const PlainSet& set) {
    const std::optional<FileIdentity> rebuilt = IdentityOf(set.rebuiltPath);
    if (!rebuilt) {
        return false;
    }
    for (int j = 0; j < set.count; ++j) {
        if (IdentityOf(set.PieceAt(j)) == rebuilt) {
            return true;
        }
    }
    return false;
}

SetDigestsLookup LookUpPlainSetDigests(const PlainSet& set) {
    std::string listPath = ListPathFor(set.rebuiltPath);
    if (!KindOfPath(listPath)) {
        listPath = set.rebuiltPath + std::string(kMd5Extension);
    }
    const DigestKind kind =
        listPath.ends_with(kMd5Extension) ? DigestKind::Md5 : DigestKind::Sha256;
    return LookUpListedDigests(listPath, kind, set.PiecePaths(), set.rebuiltPath, true);
}

std::string PlainJoinQuestion(const std::string& chosenPath, const PlainSet& set) {
    std::string names = NameInFolder(set.PieceAt(0));
    if (set.count > 1) {
        names += " … " + NameInFolder(set.PieceAt(set.count - 1));
    }
    return ShownName(chosenPath) + " non è un file splittato. Riassemblare i file " +
           ShownName(names) + " come sequenza semplice?";
}

std::string PlainNotTheFirstText(const PlainSet& set) {
    return "Questo non è il primo file della sequenza! La sequenza comincia da " +
           ShownName(set.PieceAt(0)) + ".";
}

}  // namespace zirared
