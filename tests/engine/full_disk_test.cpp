// The assembly on a small file system that fills up part way through the copy.
#include <gtest/gtest.h>
#include <sys/mount.h>
#include <sys/statvfs.h>

#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "assemble_file.h"
#include "scripted_host.h"
#include "test_files.h"

namespace zirared {
namespace {

using test::ReadFile;
using test::WriteFile;

constexpr std::size_t kPieceData = 1'433'600;  // one size unit: 350 pages
constexpr int kPieceCount = 3;
constexpr std::uint64_t kPage = 4096;  // tmpfs hands out space a page at a time

std::string Header(int index) {
    char text[17];
    std::snprintf(text, sizeof text, "VAVOVOZ%03d%03ddoc", index, kPieceCount);
    return text;
}

struct FullDiskRow {
    const char* why;
    std::uint64_t freePages;  // left before the assembly; a piece's data takes 350 pages
};

class AssembleOntoFullDisk : public testing::TestWithParam<FullDiskRow> {
protected:
    void SetUp() override {
        std::filesystem::create_directory(m_mountPoint);
        if (::mount("tmpfs", m_mountPoint.c_str(), "tmpfs", 0, "size=12m") != 0) {
            GTEST_SKIP() << "cannot mount a tmpfs here (" << std::strerror(errno)
                         << "): the full-disk cases need root with CAP_SYS_ADMIN";
        }
        m_mounted = true;
        std::filesystem::create_directory(m_work);
        for (int k = 0; k < kPieceCount; ++k) {
            const std::string piece =
                Header(k) + m_source.substr(static_cast<std::size_t>(k) * kPieceData, kPieceData);
            WriteFile(PiecePath(k), piece);
            m_pieces.push_back(piece);
        }
        WriteFile(OutputPath(), "the file a join must never lose");
    }
    void TearDown() override {
        if (m_mounted) {
            ::umount2(m_mountPoint.c_str(), MNT_DETACH);
        }
    }

    std::string PiecePath(int k) const {
        char name[16];
        std::snprintf(name, sizeof name, "/report.%03d", k);
        return m_work + name;
    }
    std::string OutputPath() const { return m_work + "/report.doc"; }

    std::uint64_t FreeBytes() const {
        struct statvfs status {};
        ::statvfs(m_mountPoint.c_str(), &status);
        return static_cast<std::uint64_t>(status.f_bavail) * status.f_frsize;
    }
    // A ballast file beside the working directory takes all but `bytes` (whole pages).
    void LeaveFree(std::uint64_t bytes) {
        ASSERT_GE(FreeBytes(), bytes);
        WriteFile(m_ballast, std::string(FreeBytes() - bytes, '\0'));
        ASSERT_EQ(FreeBytes(), bytes);
    }

    test::TempDir m_dir;
    std::string m_mountPoint = m_dir / "fs";
    std::string m_work = m_mountPoint + "/work";
    std::string m_ballast = m_mountPoint + "/ballast";
    bool m_mounted = false;
    std::string m_source = test::PatternBytes(kPieceCount * kPieceData - 3000, 17);
    std::vector<std::string> m_pieces;
    test::ScriptedHost m_host;
    std::vector<std::string> m_pieceFiles;
};

TEST_P(AssembleOntoFullDisk, TrapsWithTheDiskFullErrorAndLeavesTheFolderAsItWas) {
    const std::uint64_t freeBytes = GetParam().freePages * kPage;
    ASSERT_NO_FATAL_FAILURE(LeaveFree(freeBytes));
    m_host.QueueAnswer(Answer::Yes);  // "esiste già! Sovrascrivere il file?"
    EXPECT_EQ(AssembleFile(m_host, PiecePath(0), m_pieceFiles), Outcome::Failed);

    const auto outline = m_host.Outline();
    ASSERT_GE(outline.size(), 3u);
    const std::vector<std::string> ending(outline.end() - 3, outline.end());
    EXPECT_EQ(ending,
              (std::vector<std::string>{"warning|Impossibile scrivere il file " + OutputPath() +
                                            "\r\nSpazio insufficiente sul disco.\r\nErrore n° 28",
                                        "bar|remove", "enable|1"}));
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
    ASSERT_NO_FATAL_FAILURE(LeaveFree(GetParam().freePages * kPage));
    m_host.QueueAnswer(Answer::Yes);
    ASSERT_EQ(AssembleFile(m_host, PiecePath(0), m_pieceFiles), Outcome::Failed);
    std::filesystem::remove(m_ballast);
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
