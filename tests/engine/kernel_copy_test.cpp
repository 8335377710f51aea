// Splits and joins copied inside the system (no digest list), and the ways back to reading
// and writing: sizes around the chunks, an end mid-chunk, another file system, a replaced piece.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

#include "assemble_file.h"
#include "piece_bytes.h"
#include "print_row.h"
#include "scripted_host.h"
#include "split_file.h"
#include "test_files.h"
#ifndef _WIN32
#include <sys/resource.h>

#include "small_tmpfs.h"
#endif

namespace zirared {
namespace {

using test::PatternBytes;
using test::PrintTo;
using test::ReadFile;

constexpr std::size_t kUnit = 1'433'600;   // the piece data of one size unit
constexpr std::size_t kPiece = 3 * kUnit;  // larger than the chunk the system copies at a time
constexpr std::size_t kChunk = std::size_t{4} << 20;

// source in pieces of three units, made by hand; written as folder/data.000 ... if asked.
std::vector<std::string> Pieces(const std::string& source, const std::string& folder = {}) {
    const int count = static_cast<int>(source.size() / kPiece) + 1;
    std::vector<std::string> pieces;
    for (int k = 0; k < count; ++k) {
        pieces.push_back(test::PieceHeader(k, count, "bin") + source.substr(k * kPiece, kPiece));
        if (!folder.empty()) {
            test::WriteFile(folder + "/data." + test::Digits(k), pieces.back());
        }
    }
    return pieces;
}

// A split or a join with a host of its own answering Yes, ended at event pass endAt if not 0.
Outcome RunOperation(bool split, const std::string& path, int endAt = 0) {
    test::ScriptedHost host;
    host.QueueAnswer(Answer::Yes);
    if (endAt != 0) {
        host.AtEventPass(endAt, [&host] { host.SignalWhen([](auto&) { return true; }, true); });
    }
    std::vector<std::string> pieceFiles;
    return split ? SplitFile(host, path, 3 * 1400) : AssembleFile(host, path, pieceFiles);
}

struct CopyRow {
    const char* why;
    std::size_t length;
    int splitEndsAt;  // event pass; 0: not ended. A piece takes 420 blocks.
    int joinEndsAt;
};

using KernelCopyTest = testing::TestWithParam<CopyRow>;

TEST_P(KernelCopyTest, ByteExactOrTheFolderAsItWas) {
    const CopyRow& row = GetParam();
    const test::TempDir dir;
    const std::string source = PatternBytes(row.length, 5);
    const std::string path = dir / "data.bin";
    test::WriteFile(path, source);
    for (const bool split : {true, false}) {
        const int endAt = split ? row.splitEndsAt : row.joinEndsAt;
        const std::vector<std::string> before = dir.Names();
        const Outcome outcome = RunOperation(split, split ? path : dir / "data.000", endAt);
        if (endAt != 0) {
            EXPECT_EQ(outcome, Outcome::Stopped);
            EXPECT_EQ(dir.Names(), before);
            return;
        }
        ASSERT_EQ(outcome, Outcome::Completed);
        if (split) {
            const std::vector<std::string> expected = Pieces(source);
            for (int k = 0; k < static_cast<int>(expected.size()); ++k) {
                EXPECT_TRUE(ReadFile(dir / ("data." + test::Digits(k))) == expected[k]) << k;
            }
            std::filesystem::remove(path);
        }
    }
    EXPECT_TRUE(ReadFile(path) == source);
}

INSTANTIATE_TEST_SUITE_P(
    Rows, KernelCopyTest,
    testing::Values(CopyRow{"one_byte_past_a_piece", kPiece + 1, 0, 0},
                    CopyRow{"a_chunk_into_the_second_piece", kPiece + kChunk, 0, 0},
                    CopyRow{"a_byte_past_a_chunk_into_it", kPiece + kChunk + 1, 0, 0},
                    CopyRow{"a_byte_short_of_two_pieces", 2 * kPiece - 1, 0, 0},
                    CopyRow{"two_pieces_end_with_a_header_alone", 2 * kPiece, 0, 0},
                    CopyRow{"split_ended_in_the_first_chunk", 2 * kPiece + 9, 2, 0},
                    CopyRow{"split_ended_in_the_second_piece", 2 * kPiece + 9, 600, 0},
                    CopyRow{"join_ended_in_the_first_chunk", 2 * kPiece + 9, 0, 2},
                    CopyRow{"join_ended_in_the_second_piece", 2 * kPiece + 9, 0, 600}),
    [](const auto& info) { return std::string(info.param.why); });

// Plain pieces on a block boundary are the copies the kernel makes itself; pieces off it are
// read and written. Either way the set joins back byte for byte, or a stop leaves the folder.
struct PlainRow {
    const char* why;
    std::int64_t pieceBytes;
    int endsAt;  // event pass of the split, then of the join; 0: not ended
};

using PlainCopyTest = testing::TestWithParam<PlainRow>;

TEST_P(PlainCopyTest, ByteExactOrTheFolderAsItWas) {
    const PlainRow& row = GetParam();
    const test::TempDir dir;
    const std::string source = PatternBytes(2 * kChunk + 4097, 7);
    test::WriteFile(dir / "data.bin", source);
    for (const bool split : {true, false}) {
        test::ScriptedHost host;
        host.QueueAnswer(Answer::Yes);
        if (row.endsAt != 0) {
            host.AtEventPass(row.endsAt,
                             [&host] { host.SignalWhen([](auto&) { return true; }, true); });
        }
        const std::vector<std::string> before = dir.Names();
        std::vector<std::string> pieceFiles;
        const Outcome outcome = split
                                    ? SplitFilePlain(host, dir / "data.bin", row.pieceBytes, false)
                                    : AssembleFile(host, dir / "data.bin.001", pieceFiles,
                                                   ListUse::AskWhenUnusable, PlainSetUse::Join);
        if (row.endsAt != 0) {
            EXPECT_EQ(outcome, Outcome::Stopped);
            EXPECT_EQ(dir.Names(), before);
            test::ScriptedHost again;  // the end stays requested on the first host
            again.QueueAnswer(Answer::Yes);
            if (split) {
                ASSERT_EQ(SplitFilePlain(again, dir / "data.bin", row.pieceBytes, false),
                          Outcome::Completed);
            }
            continue;
        }
        ASSERT_EQ(outcome, Outcome::Completed);
        if (split) {
            std::filesystem::remove(dir / "data.bin");
        }
    }
    if (row.endsAt == 0) {
        EXPECT_TRUE(ReadFile(dir / "data.bin") == source);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Rows, PlainCopyTest,
    testing::Values(PlainRow{"a_mebibyte_a_piece_copied_by_the_kernel", 1 << 20, 0},
                    PlainRow{"off_the_block_read_and_written", (1 << 20) + 1, 0},
                    PlainRow{"ended_mid_copy_by_the_kernel", 6 << 20, 300}),
    [](const auto& info) { return std::string(info.param.why); });

#ifndef _WIN32
// The rebuilt name links to another file system: the system declines (EXDEV), streams copy.
TEST(KernelCopyFallback, JoinsByteExactAcrossFileSystems) {
    const test::TempDir dir;
    const test::SmallTmpfs tmpfs(dir / "fs", "64m");
    if (!tmpfs.Mounted()) {
        GTEST_SKIP() << "cannot mount a tmpfs here (" << tmpfs.Failure() << ")";
    }
    const std::string source = PatternBytes(kPiece + kChunk + 77, 4);
    for (const bool piecesOnDisk : {true, false}) {
        const std::string work = dir / (piecesOnDisk ? "disk/a" : "fs/b");
        const std::string other = dir / (piecesOnDisk ? "fs/a" : "disk/b");
        std::filesystem::create_directories(work), std::filesystem::create_directories(other);
        test::WriteFile(other + "/data.bin", "replaced whole");
        std::filesystem::create_symlink(other + "/data.bin", work + "/data.bin");
        Pieces(source, work);
        ASSERT_EQ(RunOperation(false, work + "/data.000"), Outcome::Completed);
        EXPECT_TRUE(ReadFile(other + "/data.bin") == source) << work;
    }
}

struct JudgedRow {
    const char* why;
    bool fewDescriptors;    // too few to keep the pieces open from their judgement to the copy
    bool replaceLastPiece;  // after the judgement: refused when it must be opened again
};

class JudgedPieceTest : public testing::TestWithParam<JudgedRow> {
protected:
    void SetUp() override { ASSERT_EQ(::getrlimit(RLIMIT_NOFILE, &m_limit), 0); }
    void TearDown() override { ::setrlimit(RLIMIT_NOFILE, &m_limit); }
    test::TempDir m_dir;
    rlimit m_limit{};
};

TEST_P(JudgedPieceTest, OnlyThePieceJudgedIsCopied) {
    const JudgedRow& row = GetParam();
    const std::string source = PatternBytes(kPiece + 3000, 6);
    Pieces(source, m_dir.Path());
    test::ScriptedHost host;
    if (row.replaceLastPiece) {
        host.AtEventPass(1, [this] {
            test::WriteFile(m_dir / "other", test::PieceHeader(1, 2, "bin") + "another 001");
            std::filesystem::rename(m_dir / "other", m_dir / "data.001");
        });
    }
    rlimit few = m_limit;
    few.rlim_cur = row.fewDescriptors ? 32 : m_limit.rlim_cur;
    ASSERT_EQ(::setrlimit(RLIMIT_NOFILE, &few), 0);
    std::vector<std::string> pieceFiles;
    const bool refused = row.fewDescriptors && row.replaceLastPiece;
    EXPECT_EQ(AssembleFile(host, m_dir / "data.000", pieceFiles),
              refused ? Outcome::Failed : Outcome::Completed);
    const std::string outOfSequence =
        "warning|Il file '" + (m_dir / "data.001") + "' è fuori dalla sequenza!";
    EXPECT_TRUE(refused ? std::ranges::count(host.Outline(), outOfSequence) == 1
                        : ReadFile(m_dir / "data.bin") == source);
}

INSTANTIATE_TEST_SUITE_P(
    Rows, JudgedPieceTest,
    testing::Values(JudgedRow{"kept_open_copies_the_judged_piece", false, true},
                    JudgedRow{"opened_again_refuses_a_replaced_one", true, true},
                    JudgedRow{"opened_again_rebuilds_an_untouched_set", true, false}),
    [](const auto& info) { return std::string(info.param.why); });
#endif

}  // namespace
}  // namespace zirared
