#include "piece_set.h"

#include <algorithm>

#include "utf8.h"
#include "windows1252.h"

namespace zirared {
namespace {

std::int16_t ReadNumberField(std::string_view field) {
    std::size_t i = 0;
    while (i < field.size() && field[i] == ' ') {
        ++i;
    }
    int value = 0;
    for (; i < field.size() && field[i] >= '0' && field[i] <= '9'; ++i) {
        value = value * 10 + (field[i] - '0');
    }
    return static_cast<std::int16_t>(value);  // at most three digits
}

void AppendThreeDigits(std::string& out, int value) {
    out.push_back(static_cast<char>('0' + value / 100 % 10));
    out.push_back(static_cast<char>('0' + value / 10 % 10));
    out.push_back(static_cast<char>('0' + value % 10));
}

// Beyond the separators, Windows refuses these in a name: a suffix holding one could only
// make the rebuilt file fail, or name a stream ("a:b") instead of a file.
bool IsForbiddenInNames([[maybe_unused]] char32_t character) {
#ifdef _WIN32
    return std::u32string_view(U"<>:\"/\\|?*").find(character) != std::u32string_view::npos;
#else
    return false;
#endif
}

// Windows drops a final dot or blank from a name, so such a suffix would rebuild a file under
// another name than the one shown (and keep it under \\?\ paths, out of other programs' reach).
bool EndsAsWindowsDropsIt([[maybe_unused]] const std::u32string& characters) {
#ifdef _WIN32
    return !characters.empty() && (characters.back() == U'.' || characters.back() == U' ');
#else
    return false;
#endif
}

}  // namespace

std::int64_t PieceDataSize(std::int32_t filesizeKB) {
    return static_cast<std::int64_t>(filesizeKB) * 1024;
}

std::int64_t PieceCount(std::int64_t sourceLength, std::int64_t pieceDataSize) {
    return sourceLength / pieceDataSize + 1;
}

HeaderBytes BuildHeader(int index, int count, const SuffixBytes& suffix) {
    std::string text(kMagic);
    AppendThreeDigits(text, index);
    AppendThreeDigits(text, count);
    text.append(suffix.begin(), suffix.end());
    HeaderBytes header{};
    std::copy(text.begin(), text.end(), header.begin());
    return header;
}

CountField BuildCountField(int count) {
    const HeaderBytes header = BuildHeader(0, count, SuffixBytes{});
    CountField field{};
    std::copy_n(header.begin() + kCountFieldOffset, field.size(), field.begin());
    return field;
}

PieceHeader ParseHeader(std::string_view bytes) {
    std::string padded(bytes.substr(0, kHeaderBytes));
    padded.resize(kHeaderBytes, ' ');
    const std::string_view view(padded);
    PieceHeader header;
    header.magicValid = view.substr(0, kMagic.size()) == kMagic;
    header.index = ReadNumberField(view.substr(7, 3));
    header.count = ReadNumberField(view.substr(kCountFieldOffset, 3));
    std::copy(view.begin() + 13, view.end(), header.suffix.begin());
    return header;
}

bool StartsWithMagic(std::string_view bytes) {
    return bytes.substr(0, kMagic.size()) == kMagic;
}

NameCut CutLastThreeCharacters(std::string_view path) {
    // Step back over three characters: a character starts at its first non-continuation byte.
    std::size_t start = path.size();
    for (int found = 0; found < 3; ++found) {
        if (start == 0) {
            return {NameCheck::NameTooShort, {}, {}};
        }
        const std::size_t end = start;
        do {
            --start;
        } while (start > 0 && IsUtf8Continuation(path[start]) && end - start < 4);
        if (IsUtf8Continuation(path[start])) {
            return {NameCheck::NotUtf8, {}, {}};
        }
    }
    const std::string_view lastThree = path.substr(start);
    const auto characters = DecodeUtf8(lastThree);
    if (!characters || characters->size() != 3) {
        return {NameCheck::NotUtf8, {}, {}};
    }
    if (std::any_of(characters->begin(), characters->end(), IsPathSeparator)) {
        return {NameCheck::NameTooShort, {}, {}};
    }
    return {NameCheck::Ok, std::string(path.substr(0, start)), std::string(lastThree)};
}

std::string PiecePath(std::string_view stem, int index) {
    std::string path(stem);
    AppendThreeDigits(path, index);
    return path;
}

bool SuffixIsPlainName(std::string_view suffixUtf8) {
    const auto characters = DecodeUtf8(suffixUtf8);
    return characters &&
           std::none_of(characters->begin(), characters->end(),
                        [](char32_t c) {
                            return c < U' ' || (c >= U'\x7F' && c <= U'\x9F') ||
                                   IsPathSeparator(c) || IsForbiddenInNames(c);
                        }) &&
           !EndsAsWindowsDropsIt(*characters);
}

std::string DirectoryPart(std::string_view path) {
    return std::string(path.substr(0, FileNameOffset(path)));
}

}  // namespace zirared
