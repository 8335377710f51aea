#include "piece_size.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <limits>

#include "message_text.h"

namespace zirared {
namespace {

constexpr std::int64_t kKiB = 1024;
constexpr std::int64_t kMiB = kKiB * 1024;
constexpr std::int64_t kGiB = kMiB * 1024;

// cd: 700 MB as CDs are sold, which means MiB: an 80-minute CD holds 737,280,000 bytes of data
// (703.125 MiB), so 700 MiB leaves 3.125 MiB for the disc's own file system.
// dvd: a single-layer DVD holds 4,700,372,992 bytes, but a piece stays below 4 GiB; one piece
// of almost 4 GiB per disc would waste 0.4 GB of each and put a 4.2 GB file on two discs, so
// the preset is half a disc: two pieces of 2240 MiB fill it, leaving 2.6 MiB for its file
// system.
// mail: the 25 MB attachment limit of the common mail services, in the decimal megabytes they
// state it in.
constexpr std::array kPresets{
    SizePreset{"fat32", kMaxPieceFileBytes, "4 GiB meno 1 byte, il file più grande su FAT32"},
    SizePreset{"cd", 700 * kMiB, "700 MiB, un CD da 80 minuti"},
    SizePreset{"dvd", 2240 * kMiB, "2240 MiB, due pezzi per DVD da 4,7 GB"},
    SizePreset{"mail", 25'000'000, "25 MB, il limite comune degli allegati di posta"},
};

char Lower(char c) {
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

bool SameIgnoringCase(std::string_view a, std::string_view b) {
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(),
                                              [](char x, char y) { return Lower(x) == Lower(y); });
}

// The bytes one of a suffix stands for; 0 for no suffix this program knows.
std::int64_t SuffixFactor(std::string_view suffix) {
    if (suffix == "B") {
        return 1;
    }
    if (suffix.empty()) {
        return 0;
    }
    const std::string_view letters = "kmg";
    const std::size_t power = letters.find(Lower(suffix.front()));
    if (power == std::string_view::npos) {
        return 0;
    }
    std::int64_t binary = 1;
    std::int64_t decimal = 1;
    for (std::size_t i = 0; i <= power; ++i) {
        binary *= 1024;
        decimal *= 1000;
    }
    const std::string_view rest = suffix.substr(1);
    if (rest.empty() || rest == "iB") {
        return binary;
    }
    return rest == "B" ? decimal : 0;
}

std::string Quoted(std::string_view word) {
    return "\"" + std::string(word) + "\"";
}

std::string UnitText() {
    return "unità da " + std::to_string(kSizeUnitKB) + " KB";
}

SizeWordReading Refused(std::string problem) {
    return {std::nullopt, std::move(problem)};
}

}  // namespace

std::string SizeWordsText() {
    std::string names;
    for (std::size_t i = 0; i < kPresets.size(); ++i) {
        names += i == 0 ? "" : i + 1 == kPresets.size() ? " o " : ", ";
        names += kPresets[i].name;
    }
    return "un numero di " + UnitText() + " da " + std::to_string(kMinSizeSetting) + " a " +
           std::to_string(kMaxSizeUnits) + ", una dimensione come 25M, 700MB o 4G, oppure " + names;
}

std::span<const SizePreset> SizePresets() {
    return kPresets;
}

SizeWordReading ReadSizeWord(std::string_view word) {
    for (const SizePreset& preset : kPresets) {
        if (SameIgnoringCase(word, preset.name)) {
            return {PieceSize{false, preset.bytes}, {}};
        }
    }
    const std::size_t digits = std::min(word.find_first_not_of("0123456789"), word.size());
    const std::string_view suffix = word.substr(digits);
    const std::int64_t factor = suffix.empty() ? 1 : SuffixFactor(suffix);
    if (digits == 0 || factor == 0) {
        return Refused(Quoted(word) + " non è una dimensione: scrivere " + SizeWordsText());
    }
    std::int64_t number = 0;
    const auto [end, error] = std::from_chars(word.data(), word.data() + digits, number);
    const bool overflow =
        error != std::errc{} || number > std::numeric_limits<std::int64_t>::max() / factor;
    if (number == 0 && !overflow) {
        return Refused("la dimensione dei pezzi deve essere maggiore di zero, non " + Quoted(word));
    }
    if (suffix.empty()) {
        if (overflow || number > kMaxSizeUnits) {
            return Refused(Quoted(word) + " " + UnitText() +
                           " sono troppe: un pezzo resta sotto i 4 GiB, al massimo " +
                           std::to_string(kMaxSizeUnits) + " " + UnitText());
        }
        return {PieceSize{true, number}, {}};
    }
    if (overflow) {
        return Refused(Quoted(word) + " è una dimensione troppo grande");
    }
    return {PieceSize{false, number * factor}, {}};
}

int UnitsFor(const PieceSize& size) {
    if (size.inUnits) {
        return static_cast<int>(std::min<std::int64_t>(size.count, kMaxSizeUnits));
    }
    const std::int64_t data = size.count - static_cast<std::int64_t>(kHeaderBytes);
    return static_cast<int>(std::clamp<std::int64_t>(data / kSizeUnitBytes, 0, kMaxSizeUnits));
}

std::string NoUnitFitsText(std::string_view word, const PieceSize& size) {
    return Quoted(word) + " (" + std::to_string(size.count) +
           " byte) non basta per un pezzo: il più piccolo, un'" + UnitText() + " con i " +
           std::to_string(kHeaderBytes) + " byte dell'intestazione, misura " +
           std::to_string(kSizeUnitBytes + static_cast<std::int64_t>(kHeaderBytes)) + " byte";
}

std::int64_t PlainPieceBytes(const PieceSize& size) {
    return size.inUnits ? size.count * kSizeUnitBytes : size.count;
}

std::int64_t FewestUnitsFor(std::int64_t sourceLength) {
    // PieceCount(L, M) = L div M + 1 stays within the limit exactly when M > L div limit.
    const std::int64_t smallestData = sourceLength / kMaxPieceCount + 1;
    return (smallestData + kSizeUnitBytes - 1) / kSizeUnitBytes;
}

std::string TooManyPiecesText(std::string_view shownFile, std::int64_t sourceLength) {
    const std::int64_t units = FewestUnitsFor(sourceLength);
    const std::string count = std::to_string(kMaxPieceCount);
    if (units > kMaxSizeUnits) {
        return "Il file " + std::string(shownFile) + " verrebbe diviso in più di " + count +
               " files anche con i pezzi più grandi, di " + std::to_string(kMaxSizeUnits) + " " +
               UnitText() + "!";
    }
    const std::int64_t pieceFile = units * kSizeUnitBytes + static_cast<std::int64_t>(kHeaderBytes);
    return "Il file " + std::string(shownFile) + " verrebbe diviso in più di " + count + " files!" +
           kLineBreak + "Scegliere pezzi di almeno " + std::to_string(units) + " " + UnitText() +
           " (file di " + std::to_string(pieceFile) + " byte) e riprovare.";
}

}  // namespace zirared
