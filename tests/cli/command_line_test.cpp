#include "command_line.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "usage_text.h"

namespace zirared {
namespace {

struct ValidRow {
    const char* why;
    std::vector<std::string> arguments;
    CliCommand command;
    int sizeSetting;
    bool assumeYes;
    bool deletePieces;
    std::string path;
};

class ValidCommandLine : public ::testing::TestWithParam<ValidRow> {};

TEST_P(ValidCommandLine, IsUnderstood) {
    const ValidRow& row = GetParam();
    const CommandLine parsed = ParseCommandLine(row.arguments);
    EXPECT_EQ(parsed.command, row.command) << parsed.error;
    EXPECT_EQ(parsed.sizeSetting, row.sizeSetting);
    EXPECT_EQ(parsed.assumeYes, row.assumeYes);
    EXPECT_EQ(parsed.deletePieces, row.deletePieces);
    EXPECT_EQ(parsed.path, row.path);
}

INSTANTIATE_TEST_SUITE_P(
    Rows, ValidCommandLine,
    ::testing::Values(ValidRow{"SplitDefaultsToOneFloppy",
                               {"split", "a.doc"},
                               CliCommand::Split,
                               1,
                               false,
                               false,
                               "a.doc"},
                      ValidRow{"SizeAtUpperBound",
                               {"split", "--size", "40", "a.doc"},
                               CliCommand::Split,
                               40,
                               false,
                               false,
                               "a.doc"},
                      ValidRow{"SizeWithEqualsAfterFile",
                               {"split", "a.doc", "--size=2", "--yes"},
                               CliCommand::Split,
                               2,
                               true,
                               false,
                               "a.doc"},
                      ValidRow{"UnitsPastTheOldSlider",
                               {"split", "--size", "41", "a.doc"},
                               CliCommand::Split,
                               41,
                               false,
                               false,
                               "a.doc"},
                      ValidRow{"JoinWithBothFlags",
                               {"join", "--delete-pieces", "--yes", "a.000"},
                               CliCommand::Join,
                               1,
                               true,
                               true,
                               "a.000"},
                      ValidRow{"DashDashLetsAFileStartWithDash",
                               {"join", "--", "--yes"},
                               CliCommand::Join,
                               1,
                               false,
                               false,
                               "--yes"},
                      ValidRow{"HelpWinsAfterACommand",
                               {"split", "--size", "99", "--help"},
                               CliCommand::Help,
                               1,
                               false,
                               false,
                               ""},
                      ValidRow{"CheckTakesTheFirstPiece",
                               {"check", "a.000"},
                               CliCommand::Check,
                               1,
                               false,
                               false,
                               "a.000"},
                      ValidRow{
                          "VersionAlone", {"--version"}, CliCommand::Version, 1, false, false, ""}),
    [](const auto& info) { return std::string(info.param.why); });

TEST(DigestListOptions, SplitWritesAListOnlyWhenAskedAndJoinVerifiesUnlessTold) {
    const std::vector<std::string> plainSplit = {"split", "a.doc"};
    const std::vector<std::string> hashSplit = {"split", "--hash", "a.doc"};
    const std::vector<std::string> plainJoin = {"join", "a.000"};
    const std::vector<std::string> blindJoin = {"join", "a.000", "--no-verify"};
    EXPECT_FALSE(ParseCommandLine(plainSplit).writeList);
    EXPECT_TRUE(ParseCommandLine(hashSplit).writeList);
    EXPECT_TRUE(ParseCommandLine(plainJoin).verifyList);
    EXPECT_FALSE(ParseCommandLine(blindJoin).verifyList);
    EXPECT_EQ(ParseCommandLine(blindJoin).path, "a.000");
}

// What --size takes, as the errors and the help state it.
TEST(SizeSetting, TextsGiveTheSizesTaken) {
    const std::vector<std::string> tooSmall{"split", "--size=1M", "a.doc"};
    const std::vector<std::string> missing{"split", "a.doc", "--size"};
    EXPECT_EQ(ParseCommandLine(tooSmall).error,
              "--size: \"1M\" (1048576 byte) non basta per un pezzo: il più piccolo, un'unità da "
              "1400 KB con i 16 byte dell'intestazione, misura 1433616 byte");
    EXPECT_EQ(ParseCommandLine(missing).error,
              "manca il valore di --size: un numero di unità da 1400 KB da 1 a 2995, una "
              "dimensione come 25M, 700MB o 4G, oppure fat32, cd, dvd o mail");
    const std::string help = HelpText();
    for (const char* line :
         {"\n                    un numero di unità di 1400 KB, da 1 a 2995;\n",
          "\n                      fat32  4 GiB meno 1 byte, il file più grande su FAT32\n",
          "\n                    Esempio: zirared-cli split --size cd film.mkv\n"}) {
        EXPECT_NE(help.find(line), std::string::npos) << line;
    }
}

struct UsageErrorRow {
    const char* why;
    std::vector<std::string> arguments;
};

class UsageErrorCommandLine : public ::testing::TestWithParam<UsageErrorRow> {};

TEST_P(UsageErrorCommandLine, IsRefusedWithAReason) {
    const CommandLine parsed = ParseCommandLine(GetParam().arguments);
    EXPECT_EQ(parsed.command, CliCommand::UsageError);
    EXPECT_FALSE(parsed.error.empty());
}

INSTANTIATE_TEST_SUITE_P(
    Rows, UsageErrorCommandLine,
    ::testing::Values(UsageErrorRow{"NothingAtAll", {}},
                      UsageErrorRow{"UnknownCommand", {"cut", "a.doc"}},
                      UsageErrorRow{"OptionBeforeCommand", {"--yes", "split", "a.doc"}},
                      UsageErrorRow{"UnknownOption", {"split", "--fast", "a.doc"}},
                      UsageErrorRow{"SplitWithoutFile", {"split", "--yes"}},
                      UsageErrorRow{"JoinWithoutFile", {"join"}},
                      UsageErrorRow{"TwoFiles", {"join", "a.000", "b.000"}},
                      UsageErrorRow{"SizeZero", {"split", "--size", "0", "a.doc"}},
                      UsageErrorRow{"SizeAt4GiB", {"split", "--size", "2996", "a.doc"}},
                      UsageErrorRow{"SizeNotAnInteger", {"split", "--size", "2.5", "a.doc"}},
                      UsageErrorRow{"SizeWithTrailingText", {"split", "--size=3x", "a.doc"}},
                      UsageErrorRow{"SizeOverflowsInt", {"split", "--size", "99999999999", "a"}},
                      UsageErrorRow{"SizeValueMissing", {"split", "a.doc", "--size"}},
                      UsageErrorRow{"SizeIsForSplitOnly", {"join", "--size", "2", "a.000"}},
                      UsageErrorRow{"DeleteIsForJoinOnly", {"split", "--delete-pieces", "a"}},
                      UsageErrorRow{"HashIsForSplitOnly", {"join", "--hash", "a.000"}},
                      UsageErrorRow{"NoVerifyIsForJoinOnly", {"split", "--no-verify", "a"}},
                      UsageErrorRow{"CheckAsksNothingSoTakesNoYes", {"check", "--yes", "a.000"}},
                      UsageErrorRow{"CheckWithoutFile", {"check"}},
                      UsageErrorRow{"StandardInputNeedsAName", {"split", "-"}},
                      UsageErrorRow{"NameOnlyForStandardInput", {"split", "--name", "b.tar", "a"}},
                      UsageErrorRow{"NameValueMissing", {"split", "-", "--name"}},
                      UsageErrorRow{"NameIsForSplitOnly", {"join", "--name=b.tar", "a.000"}},
                      UsageErrorRow{"NoListForStandardInput", {"split", "--hash", "--name=b", "-"}},
                      UsageErrorRow{"NoPlainSetFromStandardInput",
                                    {"split", "--plain", "--name=b", "-"}},
                      UsageErrorRow{"OutputOnlyToStandardOutput", {"join", "--output", "b", "a"}},
                      UsageErrorRow{"OutputIsForJoinOnly", {"split", "--output", "-", "a.doc"}},
                      UsageErrorRow{"StreamedPiecesAreNotDeleted",
                                    {"join", "--output", "-", "--delete-pieces", "a.000"}}),
    [](const auto& info) { return std::string(info.param.why); });

}  // namespace
}  // namespace zirared
