// Splits and joins whose bytes the system copies where it can (no digest list), and the ways
// back to reading and writing: sizes around the chunks, another file system, an end in the
// middle of a chunk, a piece replaced after the set was judged.
#include <gtest/gtest.h>
#ifndef _WIN32
#include <sys/resource.h>
#endif

#include <filesystem>
#include <string>
#include <vector>

#include "assemble_file.h"
#include "piece_bytes.h"
#include "scripted_host.h"
#include "split_file.h"
#include "test_files.h"
#ifndef _WIN32
#include "small_tmpfs.h"
#endif

namespace zirared {
namespace {

using test::PatternBytes;
using test::ReadFile;
using test::WriteFile;

constexpr std::size_t kUnit = 1'433'600;  // the piece data of one size unit
constexpr std::int32_t kThreeUnitsKB = 3 * 1400;
constexpr std::size_t kPiece = 3 * kUnit;  // larger than the chunk the system copies at a time
constexpr std::size_t kChunk = std::size_t{4} << 20;

// Every piece a split of source must write, made by hand from the format.
std::vector<std::string> ExpectedPieces(const std::string& source, const std::string& suffix) {
    const int count = static_cast<int>(source.size() / kPiece) + 1;
    std::vector<std::string> pieces;
    for (int k = 0; k < count; ++k) {
        pieces.push_back(test::PieceHeader(k, count, suffix) +
                         source.substr(static_cast<std::size_t>(k) * kPiece, kPiece));
    }
    return pieces;
}

// The pieces of source as data.000, data.001 ... in folder.
void WritePieces(const std::string& folder, const std::string& source) {
    const std::vector<std::string> pieces = ExpectedPieces(source, "bin");
    for (std::size_t k = 0; k < pieces.size(); ++k) {
        WriteFile(folder + "/data." + test::Digits(static_cast<int>(k)), pieces[k]);
    }
}

class KernelCopyTest : public testing::Test {
protected:
    // Splits the file at path into pieces of three units, answering Yes.
    Outcome Split(const std::string& path) {
        m_host.QueueAnswer(Answer::Yes);
        return SplitFile(m_host, path, kThreeUnitsKB);
    }
    Outcome Join(const std::string& firstPiece) {
        return AssembleFile(m_host, firstPiece, m_pieceFiles);
    }
    // Ends the operation (a signal) at the given event pass.
    void EndAtEventPass(int pass) {
        m_host.AtEventPass(
            pass, [this] { m_host.SignalWhen([](const std::string&) { return true; }, true); });
    }

    test::TempDir m_dir;
    test::ScriptedHost m_host;
    std::vector<std::string> m_pieceFiles;
};

struct SizeRow {
    const char* why;
    std::size_t length;
};

class ChunkBoundaryTest : public KernelCopyTest, public testing::WithParamInterface<SizeRow> {};

TEST_P(ChunkBoundaryTest, PiecesAndRebuiltFileAreByteExact) {
    const std::string source = PatternBytes(GetParam().length, 5);
    const std::string path = m_dir / "data.bin";
    WriteFile(path, source);
    ASSERT_EQ(Split(path), Outcome::Completed);
    const std::vector<std::string> expected = ExpectedPieces(source, "bin");
    for (std::size_t k = 0; k < expected.size(); ++k) {
        EXPECT_TRUE(ReadFile(m_dir / ("data." + test::Digits(static_cast<int>(k)))) == expected[k])
            << "piece " << k;
    }
    std::filesystem::remove(path);
    ASSERT_EQ(Join(m_dir / "data.000"), Outcome::Completed);
    EXPECT_TRUE(ReadFile(path) == source);
}

INSTANTIATE_TEST_SUITE_P(Rows, ChunkBoundaryTest,
                         testing::Values(SizeRow{"one_byte_past_a_piece", kPiece + 1},
                                         SizeRow{"a_chunk_into_the_second_piece", kPiece + kChunk},
                                         SizeRow{"a_byte_past_a_chunk_into_it",
                                                 kPiece + kChunk + 1},
                                         SizeRow{"a_byte_short_of_two_pieces", 2 * kPiece - 1},
                                         SizeRow{"two_pieces_end_with_a_header_alone", 2 * kPiece}),
                         [](const auto& info) { return std::string(info.param.why); });

struct EndRow {
    const char* why;
    bool split;  // else a join
    int pass;    // a piece holds 420 blocks
};

class EndMidChunkTest : public KernelCopyTest, public testing::WithParamInterface<EndRow> {};

TEST_P(EndMidChunkTest, LeavesTheFolderAsItWas) {
    const std::string source = PatternBytes(2 * kPiece + 5000, 8);
    const std::string path = m_dir / "data.bin";
    WriteFile(path, source);
    if (!GetParam().split) {
        WritePieces(m_dir.Path(), source);
        WriteFile(path, "the file a join must never lose");
        m_host.QueueAnswer(Answer::Yes);  // "esiste già! Sovrascrivere il file?"
    }
    const std::vector<std::string> before = m_dir.Names();
    const std::string kept = ReadFile(path);
    EndAtEventPass(GetParam().pass);
    EXPECT_EQ(GetParam().split ? Split(path) : Join(m_dir / "data.000"), Outcome::Stopped);
    EXPECT_EQ(m_dir.Names(), before);
    EXPECT_TRUE(ReadFile(path) == kept);
}

INSTANTIATE_TEST_SUITE_P(Rows, EndMidChunkTest,
                         testing::Values(EndRow{"split_in_the_first_chunk", true, 2},
                                         EndRow{"split_in_the_second_piece", true, 600},
                                         EndRow{"join_in_the_first_chunk", false, 2},
                                         EndRow{"join_in_the_second_piece", false, 600}),
                         [](const auto& info) { return std::string(info.param.why); });

#ifndef _WIN32
struct OtherFileSystemRow {
    const char* why;
    bool split;       // else a join
    bool workOnDisk;  // the folder written in; the file the link names is on the other side
};

// A link whose target is on another file system: the system declines to copy across, and the
// streams read and write instead.
class OtherFileSystemTest : public KernelCopyTest,
                            public testing::WithParamInterface<OtherFileSystemRow> {
protected:
    void SetUp() override {
        if (!m_tmpfs.Mounted()) {
            GTEST_SKIP() << "cannot mount a tmpfs here (" << m_tmpfs.Failure() << ")";
        }
        std::filesystem::create_directory(m_diskFolder);
    }
    std::string m_diskFolder = m_dir / "disk";
    std::string m_mountPoint = m_dir / "fs";
    test::SmallTmpfs m_tmpfs{m_mountPoint, "32m"};
};

TEST_P(OtherFileSystemTest, CopiesByteExactThroughTheFallback) {
    const OtherFileSystemRow& row = GetParam();
    const std::string work = row.workOnDisk ? m_diskFolder : m_mountPoint;
    const std::string other = row.workOnDisk ? m_mountPoint : m_diskFolder;
    const std::string source = PatternBytes(kPiece + kChunk + 77, 4);
    if (row.split) {
        WriteFile(other + "/data.bin", source);
        std::filesystem::create_symlink(other + "/data.bin", work + "/data.bin");
        ASSERT_EQ(Split(work + "/data.bin"), Outcome::Completed);
        const std::vector<std::string> expected = ExpectedPieces(source, "bin");
        EXPECT_TRUE(ReadFile(work + "/data.001") == expected[1]);
        return;
    }
    WritePieces(work, source);
    WriteFile(other + "/rebuilt", "replaced whole");
    std::filesystem::create_symlink(other + "/rebuilt", work + "/data.bin");
    m_host.QueueAnswer(Answer::Yes);  // "esiste già! Sovrascrivere il file?"
    ASSERT_EQ(Join(work + "/data.000"), Outcome::Completed);
    EXPECT_TRUE(ReadFile(other + "/rebuilt") == source);
}

INSTANTIATE_TEST_SUITE_P(Rows, OtherFileSystemTest,
                         testing::Values(OtherFileSystemRow{"split_source_on_tmpfs", true, true},
                                         OtherFileSystemRow{"split_source_on_disk", true, false},
                                         OtherFileSystemRow{"join_output_on_tmpfs", false, true},
                                         OtherFileSystemRow{"join_output_on_disk", false, false}),
                         [](const auto& info) { return std::string(info.param.why); });

struct JudgedFileRow {
    const char* why;
    bool fewDescriptors;  // too few to keep the pieces open between judgement and copy
    bool replaceLastPiece;
    Outcome outcome;
};

// The file copied is the file judged: kept open, or opened again and found to be the same.
class JudgedFileTest : public KernelCopyTest, public testing::WithParamInterface<JudgedFileRow> {
protected:
    void TearDown() override { ::setrlimit(RLIMIT_NOFILE, &m_limit); }
    rlimit m_limit{};
};

TEST_P(JudgedFileTest, CopiesOnlyThePieceJudged) {
    const JudgedFileRow& row = GetParam();
    const std::string source = PatternBytes(2 * kUnit + 3000, 6);
    for (int k = 0; k < 3; ++k) {
        WriteFile(m_dir / ("data." + test::Digits(k)),
                  test::PieceHeader(k, 3, "bin") + source.substr(k * kUnit, kUnit));
    }
    if (row.replaceLastPiece) {
        m_host.AtEventPass(1, [this] {
            WriteFile(m_dir / "other", test::PieceHeader(2, 3, "bin") + PatternBytes(3000, 99));
            std::filesystem::rename(m_dir / "other", m_dir / "data.002");
        });
    }
    ASSERT_EQ(::getrlimit(RLIMIT_NOFILE, &m_limit), 0);
    if (row.fewDescriptors) {
        rlimit few = m_limit;
        few.rlim_cur = 32;
        ASSERT_EQ(::setrlimit(RLIMIT_NOFILE, &few), 0);
    }
    EXPECT_EQ(Join(m_dir / "data.000"), row.outcome);
    if (row.outcome == Outcome::Completed) {
        EXPECT_TRUE(ReadFile(m_dir / "data.bin") == source);
    } else {
        EXPECT_EQ(m_host.Outline().at(m_host.Outline().size() - 4),
                  "warning|Il file '" + (m_dir / "data.002") + "' è fuori dalla sequenza!");
        EXPECT_FALSE(test::PathExists(m_dir / "data.bin"));
    }
}

INSTANTIATE_TEST_SUITE_P(Rows, JudgedFileTest,
                         testing::Values(JudgedFileRow{"kept_open_copies_the_judged_piece", false,
                                                       true, Outcome::Completed},
                                         JudgedFileRow{"opened_again_refuses_a_replaced_piece",
                                                       true, true, Outcome::Failed},
                                         JudgedFileRow{"opened_again_rebuilds_an_untouched_set",
                                                       true, false, Outcome::Completed}),
                         [](const auto& info) { return std::string(info.param.why); });
#endif

}  // namespace
}  // namespace zirared
