#include "reply_parsing.h"

#include <string>

namespace zirared {
namespace {

std::string_view TrimBlanks(std::string_view text) {
    constexpr std::string_view kBlanks = " \t\r\n";
    const auto first = text.find_first_not_of(kBlanks);
    if (first == std::string_view::npos) {
        return {};
    }
    const auto last = text.find_last_not_of(kBlanks);
    return text.substr(first, last - first + 1);
}

// ASCII letters are folded; the one accented letter we accept, "Ì"/"ì", is folded by hand.
std::string FoldCase(std::string_view text) {
    std::string folded;
    folded.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (c >= 'A' && c <= 'Z') {
            folded += static_cast<char>(c - 'A' + 'a');
        } else if (c == '\xC3' && i + 1 < text.size() && text[i + 1] == '\x8C') {
            folded += "\xC3\xAC";
            ++i;
        } else {
            folded += c;
        }
    }
    return folded;
}

}  // namespace

std::optional<Answer> ParseReply(std::string_view reply) {
    const std::string word = FoldCase(TrimBlanks(reply));
    if (word == "s" || word == "si" || word == "s\xC3\xAC" || word == "y" || word == "yes") {
        return Answer::Yes;
    }
    if (word == "n" || word == "no") {
        return Answer::No;
    }
    return std::nullopt;
}

}  // namespace zirared
