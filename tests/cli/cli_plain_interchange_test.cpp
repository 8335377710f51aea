// Plain numbered sets crossing between zirared-cli and coreutils (split, cat, sha256sum,
// md5sum), which serve as independent references.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdlib>
#include <filesystem>
#include <string>

#include "cli_process.h"

namespace zirared::testing {
namespace {

// Runs a shell command in folder; its exit status.
int Shell(const std::filesystem::path& folder, const std::string& command) {
    const std::string line = "cd '" + folder.string() + "' && (" + command + ") >/dev/null 2>&1";
    const int status = std::system(line.c_str());
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

constexpr std::size_t kLength = 1'000'000;  // nine pieces of 100K and a shorter one

// Our plain split with a list, taken apart by coreutils: cat joins it, sha256sum -c accepts
// the list (the source's line included, as the source is still there). 100K is 102,400 bytes.
TEST(PlainInterchange, OurPlainSetJoinsWithCatAndOurListPassesSha256sum) {
    TempDirectory directory;
    const std::string original = PseudoRandomBytes(kLength, 11);
    WriteFile(directory.Path() / "data.bin", original);
    const CliRun split = RunCli({"split", "--plain", "--size", "100K", "--hash", "--yes",
                                 (directory.Path() / "data.bin").string()});
    ASSERT_EQ(split.exitStatus, 0) << split.error;
    EXPECT_EQ(FileNames(directory.Path()).size(), 12U) << "source, ten pieces and the list";
    EXPECT_EQ(std::filesystem::file_size(directory.Path() / "data.bin.009"), 102'400U);
    EXPECT_EQ(std::filesystem::file_size(directory.Path() / "data.bin.010"), 78'400U);
    EXPECT_EQ(Shell(directory.Path(), "sha256sum -c --strict data.bin.sha256"), 0);
    ASSERT_EQ(Shell(directory.Path(), "cat data.bin.0* > joined"), 0);
    EXPECT_TRUE(ReadFile(directory.Path() / "joined") == original);
}

struct CoreutilsRow {
    const char* why;
    const char* list;  // the shell command that writes the list beside the set, or ""
    bool alterPiece;   // a byte of data.bin.003 changed after the list was made
    int exitStatus;
    const char* said;  // part of what zirared-cli says
    const char* command = "join";
};

class CoreutilsSet : public ::testing::TestWithParam<CoreutilsRow> {};

TEST_P(CoreutilsSet, JoinsWithZiraredAndTheirListsAreVerified) {
    const CoreutilsRow& row = GetParam();
    TempDirectory directory;
    const std::string original = PseudoRandomBytes(kLength, 12);
    WriteFile(directory.Path() / "data.bin", original);
    ASSERT_EQ(
        Shell(directory.Path(), "split -b 100K -d -a 3 --numeric-suffixes=1 data.bin data.bin."),
        0);
    if (*row.list != '\0') {
        ASSERT_EQ(Shell(directory.Path(), row.list), 0);
    }
    std::filesystem::rename(directory.Path() / "data.bin", directory.Path() / "source");
    if (row.alterPiece) {
        ASSERT_EQ(Shell(directory.Path(), "printf X | dd of=data.bin.003 bs=1 seek=5 conv=notrunc"),
                  0);
    }
    const CliRun run = RunCli({row.command, (directory.Path() / "data.bin.001").string()});
    EXPECT_EQ(run.exitStatus, row.exitStatus) << run.error;
    EXPECT_TRUE(Contains(run.error + run.output, row.said)) << run.error << run.output;
    const bool joined = row.exitStatus == 0 && std::string(row.command) == "join";
    EXPECT_EQ(std::filesystem::exists(directory.Path() / "data.bin"), joined);
    if (joined) {
        EXPECT_TRUE(ReadFile(directory.Path() / "data.bin") == original);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Lists, CoreutilsSet,
    ::testing::Values(
        CoreutilsRow{"NoList", "", false, 0, "è stato riassemblato correttamente."},
        CoreutilsRow{"Sha256sumOfPiecesAndFile", "sha256sum data.bin.0* data.bin > data.bin.sha256",
                     false, 0, "data.bin.sha256."},
        CoreutilsRow{"Md5sumOfThePieces", "md5sum data.bin.0* > data.bin.md5", false, 0,
                     "data.bin.md5."},
        CoreutilsRow{"Md5sumCatchesAnAlteredPiece", "md5sum data.bin.0* > data.bin.md5", true, 1,
                     "data.bin.003 è stato alterato"},
        CoreutilsRow{"Sha256sumOfTheWholeFileCatchesAnAlteredPiece",
                     "sha256sum data.bin > data.bin.sha256", true, 1,
                     "non corrisponde all'elenco di controllo"},
        CoreutilsRow{"CheckVerifiesAgainstMd5sum", "md5sum data.bin.0* > data.bin.md5", false, 0,
                     "data.bin.md5: 10 di 10.", "check"}),
    [](const auto& info) { return std::string(info.param.why); });

}  // namespace
}  // namespace zirared::testing
