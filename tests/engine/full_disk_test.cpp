// The assembly on a small file system that fills up part way through the copy.
#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

#include "assemble_file.h"
#include "piece_bytes.h"
#include "scripted_host.h"
#include "small_tmpfs.h"
#include "test_files.h"

namespace zirared {
namespace {

using test::ReadFile;
using test::WriteFile;

constexpr std::size_t kPieceData = 1'433'600;  // one size unit: 350 pages
constexpr int kPieceCount = 3;
constexpr std::uint64_t kPage = 4096;  // tmpfs hands out space a page at a time

struct FullDiskRow {
    const char* why;
    std::uint64_t freePages;  // left before the assembly; a piece's data takes 350 pages
};

class AssembleOntoFullDisk : public testing::TestWithParam<FullDiskRow> {
protected:
    void SetUp() override {
        if (!m_fileSystem.Mounted()) {
            GTEST_SKIP() << "cannot mount a tmpfs here (" << m_fileSystem.Failure()
                         << "): the full-disk cases need root with CAP_SYS_ADMIN";
        }
        std::filesystem::create_directory(m_work);
        for (int k = 0; k < kPieceCount; ++k) {
            const std::string piece =
                test::PieceHeader(k, kPieceCount) +
                m_source.substr(static_cast<std::size_t>(k) * kPieceData, kPieceData);
            WriteFile(PiecePath(k), piece);
            m_pieces.push_back(piece);
        }
        WriteFile(OutputPath(), "the file a join must never lose");
    }
    std::string PiecePath(int k) const { return m_work + "/report." + test::Digits(k); }
    std::string OutputPath() const { return m_work + "/report.doc"; }

    test::TempDir m_dir;
    std::string m_mountPoint = m_dir / "fs";
    std::string m_work = m_mountPoint + "/work";
    test::SmallTmpfs m_fileSystem{m_mountPoint, "12m"};
    std::string m_source = test::PatternBytes(kPieceCount * kPieceData - 3000, 17);
    std::vector<std::string> m_pieces;
    test::ScriptedHost m_host;
    std::vector<std::string> m_pieceFiles;
};

TEST_P(AssembleOntoFullDisk, TrapsWithTheDiskFullErrorAndLeavesTheFolderAsItWas) {
    const std::uint64_t freeBytes = GetParam().freePages * kPage;
    ASSERT_NO_FATAL_FAILURE(m_fileSystem.LeaveFree(freeBytes));
    m_host.QueueAnswer(Answer::Yes);  // "esiste già! Sovrascrivere il file?"
    EXPECT_EQ(AssembleFile(m_host, PiecePath(0), m_pieceFiles), Outcome::Failed);

    const auto outline = m_host.Outline();
    ASSERT_GE(outline.size(), 4u);
    const std::vector<std::string> ending(outline.end() - 4, outline.end());
    EXPECT_EQ(ending,
              (std::vector<std::string>{"warning|Impossibile scrivere il file " + OutputPath() +
                                            "\r\nSpazio insufficiente sul disco.\r\nErrore n° 28",
                                        "bar|remove", "enable|1", "busy|0"}));
    EXPECT_EQ(ReadFile(OutputPath()), "the file a join must never lose");
    EXPECT_EQ(test::TempDir::NamesIn(m_work),
              (std::vector<std::string>{"report.000", "report.001", "report.002", "report.doc"}))
        << "no unfinished output left behind";
    for (int k = 0; k < kPieceCount; ++k) {
        EXPECT_TRUE(ReadFile(PiecePath(k)) == m_pieces[static_cast<std::size_t>(k)])
            << "piece " << k << " changed";
    }
}

// The user's way out: make room and assemble again.
TEST_P(AssembleOntoFullDisk, AssemblingAgainAfterMakingRoomReplacesTheOldFile) {
    ASSERT_NO_FATAL_FAILURE(m_fileSystem.LeaveFree(GetParam().freePages * kPage));
    m_host.QueueAnswer(Answer::Yes);
    ASSERT_EQ(AssembleFile(m_host, PiecePath(0), m_pieceFiles), Outcome::Failed);
    std::filesystem::remove(m_mountPoint + "/ballast");
    m_host.QueueAnswer(Answer::Yes);  // "esiste già! Sovrascrivere il file?"
    EXPECT_EQ(AssembleFile(m_host, PiecePath(0), m_pieceFiles), Outcome::Completed);
    EXPECT_TRUE(ReadFile(OutputPath()) == m_source);
    EXPECT_EQ(m_host.UnexpectedQuestions(), 0);
}

INSTANTIATE_TEST_SUITE_P(Rows, AssembleOntoFullDisk,
                         testing::Values(FullDiskRow{"no_room_at_all", 0},
                                         FullDiskRow{"fills_inside_the_first_piece", 100},
                                         FullDiskRow{"fills_inside_the_second_piece", 500},
                                         FullDiskRow{"fills_inside_the_last_piece", 900}),
                         [](const auto& info) { return std::string(info.param.why); });

}  // namespace
}  // namespace zirared
