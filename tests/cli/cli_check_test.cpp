// zirared-cli check: the whole state of a set in one run, and nothing written.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "cli_process.h"

namespace zirared::testing {
namespace {

constexpr std::size_t kSizeUnit = 1433600;

// A real set of four pieces made by the program itself: report.000 .. report.003.
class CliCheck : public ::testing::Test {
protected:
    void SetUp() override {
        WriteFile(Dir() / "report.doc", PseudoRandomBytes(3 * kSizeUnit + 500, 11));
        const CliRun split = RunCli({"split", "--yes", (Dir() / "report.doc").string()});
        ASSERT_EQ(split.exitStatus, 0) << split.error;
        std::filesystem::remove(Dir() / "report.doc");
    }
    const std::filesystem::path& Dir() const { return m_directory.Path(); }
    std::string Piece(int index) const {
        return (Dir() / ("report.00" + std::to_string(index))).string();
    }
    CliRun Check() const { return RunCli({"check", Piece(0)}); }

private:
    TempDirectory m_directory;
};

TEST_F(CliCheck, CompleteSetPassesAndNamesTheRebuiltFile) {
    const CliRun run = Check();
    EXPECT_EQ(run.exitStatus, 0) << run.output;
    EXPECT_TRUE(Contains(run.output, (Dir() / "report.doc").string())) << run.output;
    EXPECT_TRUE(Contains(run.output, std::to_string(3 * kSizeUnit + 500) + " byte")) << run.output;
    EXPECT_TRUE(Contains(run.output, "La sequenza è completa e coerente.")) << run.output;
    EXPECT_TRUE(Contains(run.output, "non esiste ancora.")) << run.output;
}

TEST_F(CliCheck, DamagedSetNamesEveryProblemAtOnceAndWritesNothing) {
    std::filesystem::remove(Piece(1));                                 // missing
    WriteFile(Piece(2), ReadFile(Piece(2)).substr(0, kSizeUnit / 2));  // cut short
    std::string foreign = ReadFile(Piece(3));
    foreign.replace(13, 3, "xls");  // from another set
    WriteFile(Piece(3), foreign);
    WriteFile(Dir() / "report.004", ReadFile(Piece(3)));  // left over
    const std::vector<std::string> before = FileNames(Dir());
    const std::string piece0 = ReadFile(Piece(0));

    const CliRun run = Check();

    EXPECT_EQ(run.exitStatus, 1);
    for (int index : {1, 2, 3}) {
        EXPECT_TRUE(Contains(run.output, "errore: ") && Contains(run.output, Piece(index)))
            << "piece " << index << " not named:\n"
            << run.output;
    }
    EXPECT_TRUE(Contains(run.output, "nota: ")) << run.output;
    EXPECT_TRUE(Contains(run.output, "3 problemi.")) << run.output;
    EXPECT_EQ(FileNames(Dir()), before);
    EXPECT_EQ(ReadFile(Piece(0)), piece0);
}

TEST_F(CliCheck, NotAFirstPieceIsRefusedWithTheAssemblysText) {
    const CliRun run = RunCli({"check", Piece(1)});
    EXPECT_EQ(run.exitStatus, 1);
    EXPECT_TRUE(Contains(run.output, "Questo non è il primo file della sequenza!")) << run.output;
}

}  // namespace
}  // namespace zirared::testing

namespace zirared::testing {
namespace {

// The digest list through the terminal tool: split --hash, an altered piece caught by check
// and join, --no-verify as the way past it.
TEST(CliDigestList, CheckAndJoinCatchAnAlteredPieceAndNoVerifyJoinsAnyway) {
    TempDirectory directory;
    const std::filesystem::path& dir = directory.Path();
    WriteFile(dir / "report.doc", PseudoRandomBytes(2 * kSizeUnit + 700, 12));
    const CliRun split = RunCli({"split", "--hash", "--yes", (dir / "report.doc").string()});
    ASSERT_EQ(split.exitStatus, 0) << split.error;
    std::filesystem::remove(dir / "report.doc");
    const std::string list = (dir / "report.doc.sha256").string();
    const std::string piece0 = (dir / "report.000").string();
    const std::string piece1 = (dir / "report.001").string();

    const CliRun clean = RunCli({"check", piece0});
    EXPECT_EQ(clean.exitStatus, 0) << clean.output;
    EXPECT_TRUE(
        Contains(clean.output, "Pezzi verificati con l'elenco di controllo " + list + ": 3 di 3."))
        << clean.output;

    std::string bytes = ReadFile(piece1);
    bytes[kSizeUnit / 2] ^= 0x01;
    WriteFile(piece1, bytes);
    const CliRun check = RunCli({"check", piece0});
    EXPECT_EQ(check.exitStatus, 1);
    EXPECT_TRUE(Contains(check.output, "errore: Il file " + piece1 + " è stato alterato"))
        << check.output;
    EXPECT_TRUE(Contains(check.output, ": 2 di 3.")) << check.output;

    const CliRun join = RunCli({"join", "--yes", piece0});
    EXPECT_EQ(join.exitStatus, 1);
    EXPECT_TRUE(Contains(join.error, piece1)) << join.error;
    EXPECT_FALSE(std::filesystem::exists(dir / "report.doc"));

    const CliRun blind = RunCli({"join", "--yes", "--no-verify", piece0});
    EXPECT_EQ(blind.exitStatus, 0) << blind.error;
    EXPECT_FALSE(Contains(blind.error, "verificato")) << blind.error;
}

}  // namespace
}  // namespace zirared::testing
