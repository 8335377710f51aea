// The header reader, the suffix's Windows-1252 decoding and the names derived from a chosen
// piece, on arbitrary bytes. Input: one byte giving the length of a file name, the name, then
// header bytes (any number).

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <regex>
#include <string>
#include <string_view>

#include "fuzz_require.h"
#include "piece_set.h"
#include "piece_set_rules.h"
#include "windows1252.h"

namespace zirared {
namespace {

constexpr std::string_view kDirectory = "/scratch/pezzi/";

// The header as a user states its rules, kept apart from the parser's code: 16 bytes, a blank
// wherever the file is shorter; "VAVOVOZ"; two number fields of 3 bytes (blanks, then digits
// up to the first non-digit, none reading 0); the suffix's 3 bytes as they stand.
struct ExpectedHeader {
    bool magic;
    int index;
    int count;
    std::string suffix;
};

ExpectedHeader ReadAsStated(std::string_view bytes) {
    std::string header;
    for (std::size_t i = 0; i < 16; ++i) {
        header += i < bytes.size() ? bytes[i] : ' ';
    }
    static const std::regex kNumber("^ *([0-9]*)");
    const auto number = [&header](std::size_t from) {
        const std::string field = header.substr(from, 3);
        std::smatch found;
        std::regex_search(field, found, kNumber);
        return found[1].length() == 0 ? 0 : std::stoi(found[1].str());
    };
    return {header.starts_with("VAVOVOZ"), number(7), number(10), header.substr(13)};
}

void CheckHeaderReading(std::string_view bytes) {
    const PieceHeader header = ParseHeader(bytes);
    const ExpectedHeader expected = ReadAsStated(bytes);
    FUZZ_REQUIRE(header.magicValid == expected.magic, "magic test");
    FUZZ_REQUIRE(header.magicValid == StartsWithMagic(bytes), "the two magic tests agree");
    FUZZ_REQUIRE(header.index == expected.index, "index field");
    FUZZ_REQUIRE(header.count == expected.count, "count field");
    const std::string suffix(header.suffix.begin(), header.suffix.end());
    FUZZ_REQUIRE(suffix == expected.suffix, "suffix taken as it stands");

    // Every suffix byte has a character, and the name made of them gives the bytes back.
    const std::string suffixName = DecodeWindows1252(suffix);
    const auto characters = DecodeUtf8(suffixName);
    FUZZ_REQUIRE(characters && characters->size() == 3, "three characters from three bytes");
    FUZZ_REQUIRE(EncodeWindows1252(suffixName) == suffix, "suffix round trip");

    // What a split writes with these fields, a reader reads back unchanged.
    const HeaderBytes rebuilt = BuildHeader(header.index, header.count, header.suffix);
    const PieceHeader again = ParseHeader({rebuilt.data(), rebuilt.size()});
    FUZZ_REQUIRE(again.magicValid && again.index == header.index && again.count == header.count &&
                     again.suffix == header.suffix,
                 "built header reads back");
}

FirstPieceVerdict ExpectedVerdict(const PieceHeader& header, const NameCut& cut) {
    // Nor a control character, which would reach a terminal or a message box: in
    // Windows-1252 the bytes below 0x20 and 0x7F are those characters themselves, and the
    // five bytes the code page leaves undefined decode to C1 controls.
    const bool plainSuffix = std::none_of(header.suffix.begin(), header.suffix.end(), [](char c) {
        const auto byte = static_cast<unsigned char>(c);
        return c == '/' || byte < 0x20 || byte == 0x7F || byte == 0x81 || byte == 0x8D ||
               byte == 0x8F || byte == 0x90 || byte == 0x9D;
    });
    if (!header.magicValid || cut.check != NameCheck::Ok || !plainSuffix) {
        return FirstPieceVerdict::NotValid;
    }
    if (header.index != 0) {
        return FirstPieceVerdict::NotTheFirst;
    }
    return header.count == 0 ? FirstPieceVerdict::NotValid : FirstPieceVerdict::Valid;
}

void CheckNameCut(const std::string& path) {
    const NameCut cut = CutLastThreeCharacters(path);
    if (cut.check != NameCheck::Ok) {
        return;
    }
    FUZZ_REQUIRE(cut.stem + cut.lastThree == path, "the cut loses nothing");
    const auto characters = DecodeUtf8(cut.lastThree);
    FUZZ_REQUIRE(characters && characters->size() == 3, "three characters cut");
    FUZZ_REQUIRE(std::none_of(characters->begin(), characters->end(), IsPathSeparator),
                 "the cut stays inside the file name");
    FUZZ_REQUIRE(DirectoryPart(cut.stem) == DirectoryPart(path), "stem in the same directory");
}

void CheckSetNames(const std::string& chosenPath, const PieceHeader& header) {
    const NameCut cut = CutLastThreeCharacters(chosenPath);
    const SetOpening opening = OpenPieceSet(chosenPath, header);
    FUZZ_REQUIRE(opening.verdict == ExpectedVerdict(header, cut), "first piece verdict");
    if (opening.verdict != FirstPieceVerdict::Valid) {
        return;
    }
    const std::string directory = DirectoryPart(chosenPath);
    const std::string& rebuilt = opening.rebuiltPath;
    FUZZ_REQUIRE(opening.stem == cut.stem, "stem is the cut path");
    FUZZ_REQUIRE(rebuilt.starts_with(directory) && DirectoryPart(rebuilt) == directory,
                 "rebuilt file beside the chosen piece");
    FUZZ_REQUIRE(rebuilt.find('/', directory.size()) == std::string::npos,
                 "no separator brought in by the suffix");
    FUZZ_REQUIRE(
        std::none_of(rebuilt.begin() + static_cast<std::ptrdiff_t>(cut.stem.size()), rebuilt.end(),
                     [](char c) { return static_cast<unsigned char>(c) < 0x20 || c == '\x7F'; }),
        "no control character brought in by the suffix");
    FUZZ_REQUIRE(rebuilt.size() > directory.size(), "rebuilt file has a name");
    FUZZ_REQUIRE(rebuilt == cut.stem + DecodeWindows1252({header.suffix.data(), 3}),
                 "rebuilt path is stem + decoded suffix");
    for (const int j : {0, header.count - 1, 999}) {
        const std::string piece = PiecePath(opening.stem, j);
        FUZZ_REQUIRE(DirectoryPart(piece) == directory, "pieces beside the chosen piece");
        FUZZ_REQUIRE(piece.size() == opening.stem.size() + 3, "three digits appended");
        FUZZ_REQUIRE(ParseHeader("VAVOVOZ" + piece.substr(piece.size() - 3)).index == j,
                     "piece name carries its index");
    }
}

}  // namespace
}  // namespace zirared

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace zirared;
    const std::string_view input(reinterpret_cast<const char*>(data), size);
    CheckHeaderReading(input);
    const std::string roundTrip = DecodeWindows1252(input);
    FUZZ_REQUIRE(EncodeWindows1252(roundTrip) == input, "Windows-1252 round trip");
    if (input.empty()) {
        return 0;
    }

    const std::size_t nameLength = std::min<std::size_t>(data[0] % 24, input.size() - 1);
    std::string name(input.substr(1, nameLength));
    std::replace(name.begin(), name.end(), '\0', '_');  // no path holds a NUL
    const std::string_view header = input.substr(1 + nameLength);
    CheckHeaderReading(header);
    const std::string chosenPath = std::string(kDirectory) + name;
    CheckNameCut(chosenPath);
    CheckNameCut(name);
    CheckSetNames(chosenPath, ParseHeader(header));
    return 0;
}
