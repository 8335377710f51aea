// SHA-256 throughput of the engine's hashing, for bench/hash_bench.sh.
//
//   zirared_hash_bench FILE
//
// Prints three lines: "digest <hex>" of FILE, "pipeline_mbps <n>" (FILE read chunk by chunk
// and hashed on the second thread, as the split and the join do it) and "compute_mbps <n>"
// (the hash alone on bytes already in memory, as much as FILE holds).

#include <chrono>
#include <cstdio>
#include <exception>
#include <string>
#include <vector>

#include "file_error.h"
#include "file_streams.h"
#include "hash_pipeline.h"
#include "piece_set.h"
#include "sha256_hex.h"

namespace {

using Clock = std::chrono::steady_clock;

double MegabytesPerSecond(std::int64_t bytes, Clock::duration elapsed) {
    const double seconds = std::chrono::duration<double>(elapsed).count();
    return seconds > 0 ? static_cast<double>(bytes) / 1e6 / seconds : 0;
}

}  // namespace

int main(int argc, char** argv) {
    using namespace zirared;
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s FILE\n", argv[0]);
        return 2;
    }
    try {
        InputFile input(kChunkBytes, ReadBuffers::Two);
        input.Open(argv[1]);
        const std::int64_t length = input.Length();

        const Clock::time_point pipelineStart = Clock::now();
        HashPipeline pipeline;
        while (!input.AtEnd()) {
            if (input.NextReadRefills(kBlockBytes)) {
                pipeline.ReleaseViews(input.BufferToRefill());
            }
            pipeline.Add(input.Read(kBlockBytes));
        }
        pipeline.Finish(0);
        pipeline.Settle();
        const Clock::duration pipelineTime = Clock::now() - pipelineStart;
        const Sha256Digest digest = pipeline.TakeFinished().at(0).digest;

        const std::vector<char> chunk(64 * 1024 * 1024, 'z');
        Sha256Hasher hasher;
        const Clock::time_point computeStart = Clock::now();
        std::int64_t hashed = 0;
        do {
            hasher.Update(chunk);
            hashed += static_cast<std::int64_t>(chunk.size());
        } while (hashed < length);
        hasher.Finish();
        const Clock::duration computeTime = Clock::now() - computeStart;

        std::printf("digest %s\n", HexOf(digest).c_str());
        std::printf("pipeline_mbps %.0f\n", MegabytesPerSecond(length, pipelineTime));
        std::printf("compute_mbps %.0f\n", MegabytesPerSecond(hashed, computeTime));
    } catch (const FileError& error) {
        std::fprintf(stderr, "%s\n", error.Description().c_str());
        return 1;
    } catch (const std::exception& error) {
        std::fprintf(stderr, "%s\n", error.what());
        return 1;
    }
    return 0;
}
