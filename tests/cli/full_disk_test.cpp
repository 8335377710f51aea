// zirared-cli on a small file system that fills up part way through a split or a join.
#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "cli_process.h"
#include "piece_bytes.h"
#include "small_tmpfs.h"

namespace zirared::testing {
namespace {

constexpr std::size_t kSizeUnit = 1433600;
constexpr std::size_t kHeaderBytes = 16;
constexpr std::uint64_t kPage = 4096;  // tmpfs hands out space a page at a time
// Three pieces: two full ones and a last one of 700,000 bytes.
constexpr std::size_t kSourceBytes = 2 * kSizeUnit + 700'000;
// A full piece with its header takes 350 pages and 16 bytes, so 351 pages.
constexpr std::uint64_t kPagesPerFullPiece = (kSizeUnit + kHeaderBytes + kPage - 1) / kPage;
constexpr const char* kDiskFull = "\nSpazio insufficiente sul disco.\nErrore n° 28\n";

// The warning names the file it is about, then gives the cause.
bool ReportsDiskFull(const std::string& error, const std::string& file) {
    return Contains(error, "Zirared (avviso): Impossibile ") && Contains(error, file + kDiskFull);
}

std::string PieceName(int index) {
    return "report." + test::Digits(index);
}

class FullDisk : public ::testing::Test {
protected:
    void SetUp() override {
        m_fileSystem = std::make_unique<test::SmallTmpfs>(m_scratch.Path() / "fs", "16m");
        if (!m_fileSystem->Mounted()) {
            GTEST_SKIP() << "cannot mount a tmpfs here (" << m_fileSystem->Failure()
                         << "): the full-disk cases need root with CAP_SYS_ADMIN";
        }
        std::filesystem::create_directory(m_work);
        WriteFile(m_source, m_original);
    }

    // Splits the source on the roomy file system, keeping the pieces and removing the source.
    void MakePieces() {
        const CliRun split = RunCli({"split", "--yes", m_source.string()});
        ASSERT_EQ(split.exitStatus, 0) << split.error;
        std::filesystem::remove(m_source);
        for (int index = 0; index < 3; ++index) {
            m_pieces.push_back(ReadFile(m_work / PieceName(index)));
        }
    }

    void ExpectPiecesUntouched() {
        for (int index = 0; index < 3; ++index) {
            EXPECT_TRUE(ReadFile(m_work / PieceName(index)) == m_pieces[index])
                << PieceName(index) << " changed";
        }
    }

    CliRun Join() { return RunCli({"join", "--yes", (m_work / PieceName(0)).string()}); }

    TempDirectory m_scratch;
    std::unique_ptr<test::SmallTmpfs> m_fileSystem;  // declared after m_scratch: unmounted first
    std::filesystem::path m_work = m_scratch.Path() / "fs" / "work";
    std::filesystem::path m_source = m_work / "report.doc";
    std::string m_original = PseudoRandomBytes(kSourceBytes, 23);
    std::vector<std::string> m_pieces;
};

struct SplitRow {
    const char* why;
    std::uint64_t freePages;
    int lastPiece;  // the piece being written when the disk filled
};

class SplitOntoFullDisk : public FullDisk, public ::testing::WithParamInterface<SplitRow> {};

TEST_P(SplitOntoFullDisk, TakesBackThePiecesItWroteAndKeepsTheSource) {
    const SplitRow& row = GetParam();
    ASSERT_NO_FATAL_FAILURE(m_fileSystem->LeaveFree(row.freePages * kPage));
    const CliRun split = RunCli({"split", "--yes", m_source.string()});
    EXPECT_EQ(split.exitStatus, 1);
    EXPECT_TRUE(ReportsDiskFull(split.error, (m_work / PieceName(row.lastPiece)).string()))
        << split.error;
    EXPECT_TRUE(ReadFile(m_source) == m_original) << "the source changed";
    EXPECT_EQ(FileNames(m_work), std::vector<std::string>{"report.doc"})
        << "a failed split leaves no piece that could pass for a set";
}

INSTANTIATE_TEST_SUITE_P(
    Rows, SplitOntoFullDisk,
    ::testing::Values(SplitRow{"FillsInsideTheFirstPiece", 100, 0},
                      // The second piece is created, but its 16-byte header finds no room.
                      SplitRow{"NoRoomForTheSecondPiecesHeader", kPagesPerFullPiece, 1},
                      SplitRow{"FillsInsideTheSecondPiece", kPagesPerFullPiece + 100, 1}),
    [](const auto& info) { return std::string(info.param.why); });

struct JoinRow {
    const char* why;
    std::uint64_t freePages;
};

class JoinOntoFullDisk : public FullDisk, public ::testing::WithParamInterface<JoinRow> {};

TEST_P(JoinOntoFullDisk, LeavesNoOutputBehind) {
    ASSERT_NO_FATAL_FAILURE(MakePieces());
    const std::uint64_t freeBytes = GetParam().freePages * kPage;
    ASSERT_NO_FATAL_FAILURE(m_fileSystem->LeaveFree(freeBytes));
    const CliRun join = Join();
    EXPECT_EQ(join.exitStatus, 1);
    EXPECT_TRUE(ReportsDiskFull(join.error, m_source.string())) << join.error;
    ExpectPiecesUntouched();
    EXPECT_EQ(FileNames(m_work),
              (std::vector<std::string>{"report.000", "report.001", "report.002"}));
}

INSTANTIATE_TEST_SUITE_P(Rows, JoinOntoFullDisk,
                         ::testing::Values(JoinRow{"FillsInsideTheFirstPiece", 100},
                                           JoinRow{"FillsInsideTheSecondPiece", 500},
                                           JoinRow{"NoRoomAtAll", 0}),
                         [](const auto& info) { return std::string(info.param.why); });

// The rebuilt file takes the old one's place only when whole: a full disk costs nothing.
TEST_F(FullDisk, JoinThatWouldReplaceAFileKeepsTheOldContent) {
    ASSERT_NO_FATAL_FAILURE(MakePieces());
    const std::string old = PseudoRandomBytes(300 * kPage, 5);
    WriteFile(m_source, old);
    ASSERT_NO_FATAL_FAILURE(m_fileSystem->LeaveFree(100 * kPage));
    const CliRun join = Join();
    EXPECT_EQ(join.exitStatus, 1);
    EXPECT_TRUE(Contains(join.error, "esiste già!")) << join.error;
    EXPECT_TRUE(ReportsDiskFull(join.error, m_source.string())) << join.error;
    ExpectPiecesUntouched();
    EXPECT_TRUE(ReadFile(m_source) == old) << "the old file must stay whole";
    EXPECT_EQ(FileNames(m_work),
              (std::vector<std::string>{"report.000", "report.001", "report.002", "report.doc"}));
}

}  // namespace
}  // namespace zirared::testing
