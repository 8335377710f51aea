#include "sha256_list.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "sha256_hex.h"
#include "test_files.h"

namespace zirared {
namespace {

using test::ReadFile;
using test::TempDir;
using test::WriteFile;

Sha256Digest DigestOf(const std::string& bytes) {
    Sha256Hasher hasher;
    hasher.Update(bytes);
    return hasher.Finish();
}

TEST(Sha256Hasher, KnownDigestsAndRestartAfterFinish) {
    Sha256Hasher hasher;
    EXPECT_EQ(HexOf(hasher.Finish()),
              "e3b0c44298fc1c149afbf4c8996fb92427ae41e4649b934ca495991b7852b855");
    hasher.Update(std::string("ab"));
    hasher.Update(std::string("c"));
    EXPECT_EQ(HexOf(hasher.Finish()),
              "ba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ad")
        << "pieces of a message hash as the whole, and Finish starts afresh";
}

// Names that sha256sum writes as they are and names it escapes; each must come back as it
// went out, and sha256sum -c must find each file from our line.
const std::vector<std::string> kAwkwardNames = {
    "report.001",      "with space.002", " leading blank",   "*starts with star",
    "back\\slash.003", "new\nline.004",  "carriage\rreturn", "àccènto€.005",
};

TEST(Sha256List, EveryNameComesBackFromItsLine) {
    for (const std::string& name : kAwkwardNames) {
        const Sha256Digest digest = DigestOf(name);
        const ParsedList parsed = ParseList(FormatListLine(name, digest));
        ASSERT_FALSE(parsed.error) << name << ": " << parsed.error->Description();
        ASSERT_EQ(parsed.lines.size(), 1U);
        EXPECT_EQ(parsed.lines[0].name, name);
        EXPECT_EQ(parsed.lines[0].digest, digest) << name;
    }
}

// sha256sum is the independent reference both ways: it checks the list we write, and we
// read the list it writes.
TEST(Sha256List, AgreesWithSha256sumBothWays) {
#ifdef _WIN32
    GTEST_SKIP() << "sha256sum and a POSIX shell are the Linux build's reference";
#endif
    TempDir dir;
    std::string ours;
    for (const std::string& name : kAwkwardNames) {
        const std::string content = "content of " + name;
        WriteFile(dir / name, content);
        ours += FormatListLine(name, DigestOf(content));
    }
    WriteFile(dir / "ours.sha256", ours);
    const std::string check =
        "cd '" + dir.Path() + "' && sha256sum --check --strict --quiet ours.sha256";
    EXPECT_EQ(std::system(check.c_str()), 0) << ours;

    const std::string make = "cd '" + dir.Path() + "' && sha256sum -- *[!6] > theirs.list";
    ASSERT_EQ(std::system(make.c_str()), 0);
    const ParsedList theirs = ParseList(ReadFile(dir / "theirs.list"));
    ASSERT_FALSE(theirs.error) << theirs.error->Description();
    ASSERT_EQ(theirs.lines.size(), kAwkwardNames.size());
    for (const ListLine& line : theirs.lines) {
        EXPECT_EQ(line.digest, DigestOf("content of " + line.name)) << line.name;
    }
}

const std::string kHex = "ba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ad";

struct AcceptedRow {
    const char* why;
    std::string text;
    std::string name;
};

TEST(Sha256List, AcceptsWhatSha256sumAccepts) {
    std::string upper = kHex;
    for (char& c : upper) {
        c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    }
    const AcceptedRow rows[] = {
        {"text mode marker", kHex + "  a.001\n", "a.001"},
        {"binary mode marker", kHex + " *a.001\n", "a.001"},
        {"upper-case digest", upper + "  a.001\n", "a.001"},
        {"CR LF line end from a Windows mail gateway", kHex + "  a.001\r\n", "a.001"},
        {"no line break after the last line", kHex + "  a.001", "a.001"},
        {"backslash kept as is on a line without the escape mark", kHex + "  a\\n.001\n",
         "a\\n.001"},
    };
    for (const AcceptedRow& row : rows) {
        const ParsedList parsed = ParseList(row.text);
        ASSERT_FALSE(parsed.error) << row.why << ": " << parsed.error->Description();
        ASSERT_EQ(parsed.lines.size(), 1U) << row.why;
        EXPECT_EQ(parsed.lines[0].name, row.name) << row.why;
        EXPECT_EQ(HexOf(parsed.lines[0].digest), kHex) << row.why;
    }
}

struct RefusedRow {
    const char* why;
    std::string text;
    int lineNumber;
};

TEST(Sha256List, RefusesAnythingElseNamingTheLine) {
    const std::string good = kHex + "  a.001\n";
    std::string tooManyLines;
    for (std::size_t i = 0; i <= kMaxListLines; ++i) {
        tooManyLines += kHex + "  n" + std::to_string(i) + "\n";
    }
    const RefusedRow rows[] = {
        {"empty list", "", 0},
        {"blank line between entries", good + "\n" + kHex + "  b.002\n", 2},
        {"digest one digit short", kHex.substr(1) + "  a.001\n", 1},
        {"digest one digit long", kHex + "0  a.001\n", 1},
        {"digest with a non-hex digit", "g" + kHex.substr(1) + "  a.001\n", 1},
        {"comment line", "# made by hand\n" + good, 1},
        {"BSD tag format", "SHA256 (a.001) = " + kHex + "\n", 1},
        {"one blank before the name", good + kHex + " a.001\n", 2},
        {"tab before the name", kHex + "\t a.001\n", 1},
        {"no name", kHex + "  \n", 1},
        {"unknown escape", "\\" + kHex + "  a\\t.001\n", 1},
        {"backslash ending an escaped name", "\\" + kHex + "  a.001\\\n", 1},
        {"NUL byte in a name", kHex + std::string("  a\0b", 5) + "\n", 1},
        {"same name twice", good + kHex + " *a.001\n", 2},
        {"more lines than any set has", tooManyLines, 0},
        {"larger than the bound", good + std::string(kMaxListBytes, 'x'), 0},
    };
    for (const RefusedRow& row : rows) {
        const ParsedList parsed = ParseList(row.text);
        ASSERT_TRUE(parsed.error) << row.why;
        EXPECT_TRUE(parsed.lines.empty()) << row.why;
        EXPECT_EQ(parsed.error->lineNumber, row.lineNumber) << row.why;
        if (row.lineNumber > 0) {
            EXPECT_EQ(parsed.error->Description().rfind(
                          "Riga " + std::to_string(row.lineNumber) + ": ", 0),
                      0U)
                << row.why << ": " << parsed.error->Description();
        }
    }
}

TEST(Sha256List, OnlyTheSetsOwnNamesAreTaken) {
    const std::string text = kHex + "  ../report.001\n" + kHex + "  sub/report.001\n" + kHex +
                             "  /etc/passwd\n" + kHex + "  ..\\report.001\n" + kHex +
                             "  other.txt\n" + kHex + "  report.001\n" + kHex + "  ..\n";
    const ParsedList parsed = ParseList(text);
    ASSERT_FALSE(parsed.error) << parsed.error->Description();
    const std::vector<std::string> own = {"report.000", "report.001", "report.doc"};
    const ListMatch match = MatchList(parsed.lines, own);
    ASSERT_EQ(match.digests.size(), own.size());
    EXPECT_FALSE(match.digests[0]) << "no line for it: missing, not guessed";
    EXPECT_TRUE(match.digests[1]);
    EXPECT_FALSE(match.digests[2]);
    EXPECT_EQ(match.foreignNames,
              (std::vector<std::string>{"../report.001", "sub/report.001", "/etc/passwd",
                                        "..\\report.001", "other.txt", ".."}));
}

TEST(Sha256List, ReadingIsBounded) {
    TempDir dir;
    WriteFile(dir / "big.sha256", std::string(kMaxListBytes + 1, 'a'));
    WriteFile(dir / "good.sha256", kHex + "  a.001\n");
    EXPECT_TRUE(ReadListFile(dir / "big.sha256").error);
    EXPECT_TRUE(ReadListFile(dir / "missing.sha256").error);
    EXPECT_TRUE(ReadListFile(dir.Path()).error) << "a folder is no list";
    const ParsedList good = ReadListFile(dir / "good.sha256");
    ASSERT_FALSE(good.error) << good.error->Description();
    EXPECT_EQ(good.lines.size(), 1U);
}

}  // namespace
}  // namespace zirared
