#include "hash_pipeline.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <string>
#include <vector>

#include "test_files.h"

namespace zirared {
namespace {

Sha256Digest DigestOf(std::span<const char> bytes) {
    Sha256Hasher hasher;
    hasher.Update(bytes);
    return hasher.Finish();
}

// The copy's discipline: views into buffers filled in turn, the views into a buffer
// released (or settled) just before it is refilled, which then overwrites it at once. The
// digests must be those of the whole messages, whatever the block, chunk and buffer
// counts and however far the hash lags.
TEST(HashPipeline, ViewsIntoRefilledBuffersHashAsTheWholeMessage) {
    const std::string source = test::PatternBytes(3'000'017);
    struct Row {
        const char* why;
        std::size_t chunk;
        std::size_t block;
        std::size_t buffers;
        bool settle;  // wait for the whole hash rather than for the buffer's views
    };
    const Row rows[] = {
        {"contiguous blocks merge into one command", 1'024'000, 10'240, 1, false},
        {"two buffers: the hash trails by a chunk", 1'024'000, 10'240, 2, false},
        {"blocks that do not divide the chunk", 65'536, 10'000, 2, false},
        {"tiny blocks", 4'096, 7, 2, false},
        {"settled instead of released", 65'536, 10'000, 1, true},
    };
    for (const Row& row : rows) {
        HashPipeline pipeline;
        std::vector<std::vector<char>> buffers(row.buffers, std::vector<char>(row.chunk));
        std::size_t turn = 0;
        for (std::size_t offset = 0; offset < source.size(); offset += row.chunk) {
            std::vector<char>& buffer = buffers[turn++ % buffers.size()];
            if (row.settle) {
                pipeline.Settle();
            } else {
                pipeline.ReleaseViews(buffer);
            }
            const std::size_t filled = std::min(row.chunk, source.size() - offset);
            std::copy_n(source.data() + offset, filled, buffer.data());
            std::fill(buffer.begin() + static_cast<std::ptrdiff_t>(filled), buffer.end(), 'x');
            for (std::size_t at = 0; at < filled; at += row.block) {
                pipeline.Add(
                    std::span<const char>(buffer).subspan(at, std::min(row.block, filled - at)));
            }
        }
        pipeline.Finish(7);
        pipeline.Settle();
        const std::vector<HashPipeline::FinishedDigest> finished = pipeline.TakeFinished();
        ASSERT_EQ(finished.size(), 1U) << row.why;
        EXPECT_EQ(finished[0].label, 7U) << row.why;
        EXPECT_EQ(finished[0].digest, DigestOf(source)) << row.why;
        EXPECT_TRUE(pipeline.TakeFinished().empty()) << row.why << ": each digest comes out once";
    }
}

TEST(HashPipeline, MessagesComeOutInOrderWithTheirLabels) {
    HashPipeline pipeline;
    std::vector<Sha256Digest> expected;
    for (std::uint32_t piece = 0; piece < 5; ++piece) {
        std::array<char, 16> header{};
        header.fill(static_cast<char>('A' + piece));
        const std::string data = test::PatternBytes(1000 * piece, piece + 1);
        pipeline.AddCopy(header);
        header.fill('?');  // the copy must not depend on the caller's array any more
        pipeline.Add(data);
        pipeline.Finish(piece);
        pipeline.ReleaseViews(data);  // data goes out of scope
        std::string whole(16, static_cast<char>('A' + piece));
        expected.push_back(DigestOf(whole + data));
    }
    pipeline.Settle();
    const std::vector<HashPipeline::FinishedDigest> finished = pipeline.TakeFinished();
    ASSERT_EQ(finished.size(), expected.size());
    for (std::uint32_t piece = 0; piece < finished.size(); ++piece) {
        EXPECT_EQ(finished[piece].label, piece);
        EXPECT_EQ(finished[piece].digest, expected[piece]) << "piece " << piece;
    }
}

TEST(HashPipeline, AbandonedWithWorkQueuedEndsCleanly) {
    const std::string data = test::PatternBytes(8'000'000);
    for (int round = 0; round < 20; ++round) {
        HashPipeline pipeline;
        for (std::size_t at = 0; at < data.size(); at += 100'000) {
            pipeline.AddCopy(std::span<const char>(data).subspan(at, 100'000));
        }
    }  // destroyed mid-hash: no hang, no read after return (sanitizer builds check)
}

}  // namespace
}  // namespace zirared
