// zirared-cli as a user runs it: real files, a real child process, no terminal.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "cli_process.h"
#include "piece_bytes.h"

namespace zirared::testing {
namespace {

constexpr std::size_t kSizeUnit = 1433600;

std::string PieceName(int index) {
    return "report." + test::Digits(index);
}

std::vector<std::string> PieceNames(int count) {
    std::vector<std::string> names;
    for (int index = 0; index < count; ++index) {
        names.push_back(PieceName(index));
    }
    return names;
}

struct RoundTripRow {
    const char* why;
    std::size_t length;
    int sizeSetting;
};

class RoundTrip : public ::testing::TestWithParam<RoundTripRow> {};

TEST_P(RoundTrip, JoinGivesBackTheFileByteForByte) {
    const RoundTripRow& row = GetParam();
    TempDirectory directory;
    const auto source = directory.Path() / "report.doc";
    const std::string original = PseudoRandomBytes(row.length, 7);
    WriteFile(source, original);
    const std::size_t pieceData = kSizeUnit * static_cast<std::size_t>(row.sizeSetting);
    const int pieceCount = static_cast<int>(row.length / pieceData + 1);

    const CliRun split =
        RunCli({"split", "--yes", "--size", std::to_string(row.sizeSetting), source.string()});
    ASSERT_EQ(split.exitStatus, 0) << split.error;
    EXPECT_EQ(split.error.find('\r'), std::string::npos) << "progress leaked into a pipe";
    std::vector<std::string> expected = PieceNames(pieceCount);
    expected.push_back("report.doc");
    ASSERT_EQ(FileNames(directory.Path()), expected);
    for (int index = 0; index < pieceCount; ++index) {
        const std::string piece = ReadFile(directory.Path() / PieceName(index));
        EXPECT_EQ(piece.substr(0, 16), test::PieceHeader(index, pieceCount));
    }

    std::filesystem::remove(source);
    const CliRun join = RunCli({"join", "--yes", (directory.Path() / "report.000").string()});
    ASSERT_EQ(join.exitStatus, 0) << join.error;
    EXPECT_TRUE(ReadFile(source) == original) << "rebuilt file differs";
    EXPECT_EQ(FileNames(directory.Path()), expected) << "pieces must stay without the option";
}

INSTANTIATE_TEST_SUITE_P(
    Rows, RoundTrip,
    ::testing::Values(RoundTripRow{"OneByteOverAPiece", kSizeUnit + 1, 1},
                      RoundTripRow{"ExactMultipleEndsInHeaderOnlyPiece", 2 * kSizeUnit, 1},
                      RoundTripRow{"SeveralMegabytesAtSizeTwo", 7 * 1024 * 1024 + 123, 2}),
    [](const auto& info) { return std::string(info.param.why); });

// A split set of report.doc (three pieces) with the source removed.
class PieceSet : public ::testing::Test {
protected:
    void SetUp() override {
        WriteFile(m_source, m_original);
        ASSERT_EQ(RunCli({"split", "--yes", m_source.string()}).exitStatus, 0);
        std::filesystem::remove(m_source);
    }
    std::string FirstPiece() const { return (m_directory.Path() / "report.000").string(); }

    TempDirectory m_directory;
    std::filesystem::path m_source = m_directory.Path() / "report.doc";
    std::string m_original = PseudoRandomBytes(2 * kSizeUnit + 5000, 11);
};

TEST_F(PieceSet, DeletePiecesWithYesLeavesOnlyTheRebuiltFile) {
    const CliRun join = RunCli({"join", "--yes", "--delete-pieces", FirstPiece()});
    EXPECT_EQ(join.exitStatus, 0) << join.error;
    EXPECT_EQ(FileNames(m_directory.Path()), std::vector<std::string>{"report.doc"});
    EXPECT_TRUE(ReadFile(m_source) == m_original);
}

TEST_F(PieceSet, DeleteQuestionWithoutTerminalKeepsThePieces) {
    const CliRun join = RunCli({"join", "--delete-pieces", FirstPiece()});
    EXPECT_EQ(join.exitStatus, 0) << "the file was rebuilt: " << join.error;
    EXPECT_TRUE(Contains(join.error, "Zirared (domanda): ")) << join.error;
    EXPECT_EQ(FileNames(m_directory.Path()).size(), 4u);
    EXPECT_TRUE(ReadFile(m_source) == m_original);
}

TEST_F(PieceSet, ExistingOutputIsKeptWithoutTerminal) {
    WriteFile(m_source, "keep me");
    const CliRun join = RunCli({"join", FirstPiece()});
    EXPECT_EQ(join.exitStatus, 1);
    EXPECT_TRUE(Contains(join.error, "esiste già!")) << join.error;
    EXPECT_EQ(ReadFile(m_source), "keep me");
}

TEST(Refusal, SplitWithoutTerminalOrYesWritesNothing) {
    TempDirectory directory;
    const auto source = directory.Path() / "report.doc";
    WriteFile(source, PseudoRandomBytes(kSizeUnit + 1, 3));
    const CliRun split = RunCli({"split", source.string()});
    EXPECT_EQ(split.exitStatus, 1);
    EXPECT_TRUE(Contains(split.error, "Confermi l'operazione?\nRisposta: no")) << split.error;
    EXPECT_EQ(FileNames(directory.Path()), std::vector<std::string>{"report.doc"});
}

struct RefusalRow {
    const char* why;
    std::string fileContent;
    const char* command;
    const char* message;
};

class RefusedInput : public ::testing::TestWithParam<RefusalRow> {};

TEST_P(RefusedInput, ExitsOneWithTheEnginesWarning) {
    const RefusalRow& row = GetParam();
    TempDirectory directory;
    const auto file = directory.Path() / "report.000";
    WriteFile(file, row.fileContent);
    const CliRun run = RunCli({row.command, "--yes", file.string()});
    EXPECT_EQ(run.exitStatus, 1);
    EXPECT_TRUE(Contains(run.error, std::string("Zirared (avviso): ") + row.message)) << run.error;
    EXPECT_EQ(FileNames(directory.Path()), std::vector<std::string>{"report.000"});
}

INSTANTIATE_TEST_SUITE_P(
    Rows, RefusedInput,
    ::testing::Values(RefusalRow{"SourceNoLargerThanAPiece", std::string(kSizeUnit, 'x'), "split",
                                 "Il file ha dimensioni minori"},
                      RefusalRow{"JoinOfAFileThatIsNoPiece", "vavovoz000002doc", "join",
                                 "Questo non è un file valido!"},
                      RefusalRow{"SplitOfAPiece", "VAVOVOZ000002doc" + std::string(kSizeUnit, 'x'),
                                 "split", "Il file è già stato diviso in precedenza!"}),
    [](const auto& info) { return std::string(info.param.why); });

}  // namespace
}  // namespace zirared::testing
