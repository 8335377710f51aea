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

// The copy's discipline: views into one reused buffer, released (or settled) before each
// refill, after which the buffer is overwritten at once. The digests must be those of the
// whole messages, whatever the block and chunk sizes and however far the hash lags.
TEST(HashPipeline, ViewsIntoARefilledBufferHashAsTheWholeMessage) {
    const std::string source = test::PatternBytes(3'000'017);
    struct Row {
        const char* why;
        std::size_t chunk;
        std::size_t block;
        bool settle;  // wait for the hash rather than let it copy what it has not reached
        std::size_t backlog;
    };
    const Row rows[] = {
        {"contiguous blocks merge into one command", 1'024'000, 10'240, false, 2'097'152},
        {"chunks larger than the backlog: the copy waits", 1'024'000, 10'240, false, 65'536},
        {"no backlog, as with fewer than three cores", 65'536, 10'000, false, 0},
        {"blocks that do not divide the chunk", 65'536, 10'000, false, 2'097'152},
        {"tiny blocks", 4'096, 7, false, 2'097'152},
        {"settled instead of released", 65'536, 10'000, true, 2'097'152},
    };
    for (const Row& row : rows) {
        HashPipeline pipeline(row.backlog);
        std::vector<char> buffer(row.chunk);
        for (std::size_t offset = 0; offset < source.size(); offset += row.chunk) {
            if (row.settle) {
                pipeline.Settle();
            } else {
                pipeline.ReleaseViews();
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
        pipeline.ReleaseViews();  // data goes out of scope
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
