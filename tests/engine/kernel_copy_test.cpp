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

// A split or a join with a host of its own answering Yes, ended at event pass endAt if not 0:
// ours in pieces of three units, or plain pieces of plainBytes when that is not 0.
Outcome RunOperation(bool split, const std::string& path, int endAt = 0,
                     std::int64_t plainBytes = 0) {
    test::ScriptedHost host;
    host.QueueAnswer(Answer::Yes);
    if (endAt != 0) {
        host.AtEventPass(endAt, [&host] { host.SignalWhen([](auto&) { return true; }, true); });
    }
    std::vector<std::string> pieceFiles;
    if (split) {
        return plainBytes != 0 ? SplitFilePlain(host, path, plainBytes, false)
                               : SplitFile(host, path, 3 * 1400);
    }
    return AssembleFile(host, path, pieceFiles, ListUse::AskWhenUnusable, PlainSetUse::Join);
}

// Pieces on a block boundary are the copies the kernel makes itself (plain ones too); pieces
// off it are read and written. Either way the set joins back byte for byte, or a stop leaves
// the folder as it was.
struct CopyRow {
    const char* why;
    std::size_t length;
    int splitEndsAt;  // event pass; 0: not ended. A piece takes 420 blocks.
    int joinEndsAt;
    std::int64_t plainBytes = 0;
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
        const std::string chosen =
            split ? path : dir / (row.plainBytes ? "data.bin.001" : "data.000");
        const Outcome outcome = RunOperation(split, chosen, endAt, row.plainBytes);
        if (endAt != 0) {
            EXPECT_EQ(outcome, Outcome::Stopped);
            EXPECT_EQ(dir.Names(), before);
            if (!split) {
                return;
            }
            // Split again to the end, for the join that follows.
            ASSERT_EQ(RunOperation(true, path, 0, row.plainBytes), Outcome::Completed);
        } else {
            ASSERT_EQ(outcome, Outcome::Completed);
        }
        if (split && row.plainBytes == 0) {
            const std::vector<std::string> expected = Pieces(source);
            for (int k = 0; k < static_cast<int>(expected.size()); ++k) {
                EXPECT_TRUE(ReadFile(dir / ("data." + test::Digits(k))) == expected[k]) << k;
            }
        }
        if (split) {
            std::filesystem::remove(path);
        }
    }
    EXPECT_TRUE(ReadFile(path) == source);
}

INSTANTIATE_TEST_SUITE_P(
    Rows, KernelCopyTest,
    testing::Values(
        CopyRow{"one_byte_past_a_piece", kPiece + 1, 0, 0},
        CopyRow{"a_chunk_into_the_second_piece", kPiece + kChunk, 0, 0},
        CopyRow{"a_byte_past_a_chunk_into_it", kPiece + kChunk + 1, 0, 0},
        CopyRow{"a_byte_short_of_two_pieces", 2 * kPiece - 1, 0, 0},
        CopyRow{"two_pieces_end_with_a_header_alone", 2 * kPiece, 0, 0},
        CopyRow{"split_ended_in_the_first_chunk", 2 * kPiece + 9, 2, 0},
        CopyRow{"split_ended_in_the_second_piece", 2 * kPiece + 9, 600, 0},
        CopyRow{"join_ended_in_the_first_chunk", 2 * kPiece + 9, 0, 2},
        CopyRow{"join_ended_in_the_second_piece", 2 * kPiece + 9, 0, 600},
        CopyRow{"plain_a_mebibyte_a_piece_copied_by_the_kernel", 2 * kChunk + 4097, 0, 0, 1 << 20},
        CopyRow{"plain_off_the_block_read_and_written", 2 * kChunk + 4097, 0, 0, (1 << 20) + 1},
        CopyRow{"plain_ended_mid_copy_by_the_kernel", 2 * kChunk + 4097, 300, 300, 6 << 20}),
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
