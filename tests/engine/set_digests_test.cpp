#include "set_digests.h"

#include <gtest/gtest.h>

#include <string>

#include "sha256_list.h"
#include "test_files.h"

namespace zirared {
namespace {

using test::TempDir;
using test::WriteFile;

Sha256Digest Digest(unsigned char fill) {
    Sha256Digest digest{};
    digest.fill(fill);
    return digest;
}

std::string Line(const std::string& name, unsigned char fill) {
    return FormatListLine(name, Digest(fill));
}

TEST(SetDigests, ListBesideThePiecesGivesADigestForEveryFile) {
    TempDir dir;
    const std::string stem = dir / "report.";
    const std::string rebuilt = dir / "report.doc";
    EXPECT_EQ(ListPathFor(rebuilt), dir / "report.doc.sha256");
    EXPECT_EQ(LookUpSetDigests(stem, 2, rebuilt).state, ListState::NoList);

    WriteFile(dir / "report.doc.sha256", Line("report.doc", 9) + Line("report.001", 1) +
                                             Line("../report.000", 7) + Line("report.000", 0));
    const SetDigestsLookup lookup = LookUpSetDigests(stem, 2, rebuilt);
    ASSERT_EQ(lookup.state, ListState::Usable) << lookup.problem;
    EXPECT_EQ(lookup.digests.listPath, dir / "report.doc.sha256");
    EXPECT_EQ(lookup.digests.pieces, (std::vector<Sha256Digest>{Digest(0), Digest(1)}))
        << "index order, whatever the order of the lines";
    EXPECT_EQ(lookup.digests.rebuilt, Digest(9));
    EXPECT_EQ(lookup.digests.ignoredNames, std::vector<std::string>{"../report.000"});
}

struct UnusableRow {
    const char* why;
    std::string list;
    std::string named;  // besides the list itself
};

TEST(SetDigests, AnUnusableListIsReportedNamingTheListAndTheCause) {
    const UnusableRow rows[] = {
        {"no line for the second piece", Line("report.000", 0) + Line("report.doc", 9),
         "report.001"},
        {"no line for the rebuilt file", Line("report.000", 0) + Line("report.001", 1),
         "report.doc"},
        {"a malformed line", Line("report.000", 0) + "garbage\n", "Riga 2"},
    };
    for (const UnusableRow& row : rows) {
        TempDir dir;
        WriteFile(dir / "report.doc.sha256", row.list);
        const SetDigestsLookup lookup = LookUpSetDigests(dir / "report.", 2, dir / "report.doc");
        EXPECT_EQ(lookup.state, ListState::Unusable) << row.why;
        EXPECT_NE(lookup.problem.find(dir / "report.doc.sha256"), std::string::npos) << row.why;
        EXPECT_NE(lookup.problem.find(row.named), std::string::npos)
            << row.why << ": " << lookup.problem;
    }
}

struct EarlierSplitRow {
    const char* why;
    std::string list;
    bool removable;
};

TEST(SetDigests, OnlyAListOfAnEarlierSplitCountsAsStale) {
    const EarlierSplitRow rows[] = {
        {"pieces and source, as a split writes it",
         Line("report.000", 0) + Line("report.001", 1) + Line("report.doc", 9), true},
        {"pieces of another count", Line("report.007", 0), true},
        {"the user's own digest of the source alone", Line("report.doc", 9), false},
        {"a line for another file", Line("report.000", 0) + Line("notes.txt", 3), false},
        {"not a list at all", "some notes\n", false},
    };
    for (const EarlierSplitRow& row : rows) {
        TempDir dir;
        WriteFile(dir / "report.doc.sha256", row.list);
        EXPECT_EQ(
            IsListOfEarlierSplit(dir / "report.doc.sha256", dir / "report.doc", dir / "report."),
            row.removable)
            << row.why;
    }
}

}  // namespace
}  // namespace zirared
