// The digest list parser on arbitrary bytes: it never reads past its bounds, what it
// accepts it accepts whole and in canonical form, and no name from the list reaches the
// set's own names unless it is one of them. The same bytes, taken as a file name, must come
// back unchanged through the writer and the parser.

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <set>
#include <string>
#include <string_view>
#include <vector>

#include "fuzz_require.h"
#include "sha256_list.h"

namespace zirared {
namespace {

const std::vector<std::string> kOwnNames = {"report.000", "report.001", "report.doc"};

void CheckAccepted(const ParsedList& parsed) {
    FUZZ_REQUIRE(!parsed.lines.empty(), "an accepted list has lines");
    FUZZ_REQUIRE(parsed.lines.size() <= kMaxListLines, "line bound");
    std::set<std::string> names;
    std::string canonical;
    for (std::size_t i = 0; i < parsed.lines.size(); ++i) {
        const ListLine& line = parsed.lines[i];
        FUZZ_REQUIRE(line.lineNumber == static_cast<int>(i) + 1, "lines numbered in order");
        FUZZ_REQUIRE(!line.name.empty(), "every line names a file");
        FUZZ_REQUIRE(line.name.find('\0') == std::string::npos, "no NUL in a name");
        FUZZ_REQUIRE(names.insert(line.name).second, "no name twice");
        canonical += FormatListLine(line.name, line.digest);
    }
    const ParsedList again = ParseList(canonical);
    FUZZ_REQUIRE(!again.error && again.lines.size() == parsed.lines.size(),
                 "the list as we would write it reads back");
    for (std::size_t i = 0; i < parsed.lines.size(); ++i) {
        FUZZ_REQUIRE(again.lines[i].name == parsed.lines[i].name &&
                         again.lines[i].digest == parsed.lines[i].digest,
                     "same names and digests");
    }

    const ListMatch match = MatchList(parsed.lines, kOwnNames);
    const auto matched = std::count_if(match.digests.begin(), match.digests.end(),
                                       [](const auto& digest) { return digest.has_value(); });
    FUZZ_REQUIRE(
        static_cast<std::size_t>(matched) + match.foreignNames.size() == parsed.lines.size(),
        "every line is either taken or reported");
    for (const std::string& foreign : match.foreignNames) {
        FUZZ_REQUIRE(std::find(kOwnNames.begin(), kOwnNames.end(), foreign) == kOwnNames.end(),
                     "an own name is never reported as foreign");
    }
}

void CheckNameRoundTrip(std::string_view bytes) {
    std::string name(bytes.substr(0, 300));
    name.erase(std::remove(name.begin(), name.end(), '\0'), name.end());
    if (name.empty()) {
        return;
    }
    Sha256Digest digest{};
    for (std::size_t i = 0; i < digest.size() && i < bytes.size(); ++i) {
        digest[i] = static_cast<unsigned char>(bytes[bytes.size() - 1 - i]);
    }
    const std::string line = FormatListLine(name, digest);
    FUZZ_REQUIRE(std::count(line.begin(), line.end(), '\n') == 1 && line.back() == '\n',
                 "one written line per name");
    FUZZ_REQUIRE(line.find('\r') == std::string::npos, "no raw CR for a mail gateway to eat");
    const ParsedList parsed = ParseList(line);
    FUZZ_REQUIRE(!parsed.error && parsed.lines.size() == 1, "a written line reads back");
    FUZZ_REQUIRE(parsed.lines[0].name == name, "the name comes back");
    FUZZ_REQUIRE(parsed.lines[0].digest == digest, "the digest comes back");
}

}  // namespace
}  // namespace zirared

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace zirared;
    const std::string_view input(reinterpret_cast<const char*>(data), size);
    const ParsedList parsed = ParseList(input);
    if (parsed.error) {
        FUZZ_REQUIRE(parsed.lines.empty(), "a refused list gives no lines");
        FUZZ_REQUIRE(parsed.error->lineNumber >= 0 &&
                         static_cast<std::size_t>(parsed.error->lineNumber) <= kMaxListLines,
                     "the line named exists");
        FUZZ_REQUIRE(!parsed.error->Description().empty(), "a refusal says why");
    } else {
        CheckAccepted(parsed);
    }
    CheckNameRoundTrip(input);
    return 0;
}
