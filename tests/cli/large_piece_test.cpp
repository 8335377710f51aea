// Pieces just under 4 GiB: a 5 GiB source split with --size fat32 and joined back. Offsets
// past 4 GiB in the source, a piece file near the FAT32 limit, a rebuilt file past 4 GiB.
// It writes about 10 GiB (the pieces, then the rebuilt file; the source stays sparse), so it
// carries the label "large" and runs in the interchange stage, not with the quick suite.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/statvfs.h>
#include <unistd.h>

#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "cli_process.h"
#include "piece_bytes.h"

namespace zirared::testing {
namespace {

constexpr std::int64_t kGiB = std::int64_t{1} << 30;
constexpr std::int64_t kSourceBytes = 5 * kGiB;
// fat32: 2995 units of 1,433,600 bytes, the most whose piece file stays below 4 GiB.
constexpr std::int64_t kFat32PieceData = 2995 * std::int64_t{1'433'600};

// TMPDIR when set, else /var/tmp, which is kept on disk where /tmp may be memory.
std::filesystem::path LargeFilesFolder() {
    const char* tmpdir = std::getenv("TMPDIR");
    return tmpdir != nullptr && *tmpdir != '\0' ? tmpdir : "/var/tmp";
}

std::int64_t FreeBytes(const std::filesystem::path& folder) {
    struct statvfs facts {};
    if (statvfs(folder.c_str(), &facts) != 0) {
        return 0;
    }
    return static_cast<std::int64_t>(facts.f_bavail) * static_cast<std::int64_t>(facts.f_frsize);
}

// A sparse file with random marks where a 32-bit or misplaced offset would show: the start,
// across the end of the first piece, across 4 GiB, and the end.
void WriteSparseSource(const std::filesystem::path& path) {
    const int fd = open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL, 0600);
    ASSERT_GE(fd, 0);
    ASSERT_EQ(ftruncate(fd, kSourceBytes), 0);
    const std::int64_t mark = 8192;
    unsigned seed = 1;
    for (const std::int64_t at :
         {std::int64_t{0}, kFat32PieceData - mark / 2, 4 * kGiB - mark / 2, kSourceBytes - mark}) {
        const std::string bytes = PseudoRandomBytes(mark, seed++);
        ASSERT_EQ(pwrite(fd, bytes.data(), bytes.size(), at), static_cast<ssize_t>(mark));
    }
    ASSERT_EQ(close(fd), 0);
}

// The offset of the first byte where the two files differ, or -1 when they are equal.
std::int64_t FirstDifference(const std::filesystem::path& a, const std::filesystem::path& b) {
    std::ifstream first(a, std::ios::binary);
    std::ifstream second(b, std::ios::binary);
    std::vector<char> one(1 << 22);
    std::vector<char> two(1 << 22);
    for (std::int64_t offset = 0;; offset += first.gcount()) {
        first.read(one.data(), static_cast<std::streamsize>(one.size()));
        second.read(two.data(), static_cast<std::streamsize>(two.size()));
        if (first.gcount() != second.gcount()) {
            return offset + std::min(first.gcount(), second.gcount());
        }
        for (std::streamsize i = 0; i < first.gcount(); ++i) {
            if (one[static_cast<std::size_t>(i)] != two[static_cast<std::size_t>(i)]) {
                return offset + i;
            }
        }
        if (first.gcount() == 0) {
            return -1;
        }
    }
}

TEST(LargePieces, Fat32PiecesOfAFiveGiBSourceJoinBackByteForByte) {
    TempDirectory directory(LargeFilesFolder());
    const auto source = directory.Path() / "grande.img";
    WriteSparseSource(source);
    const std::int64_t needed = 2 * kSourceBytes + kGiB;  // the pieces, then the rebuilt file
    if (FreeBytes(directory.Path()) < needed) {
        GTEST_SKIP() << "needs " << needed << " bytes free in " << directory.Path() << ", has "
                     << FreeBytes(directory.Path());
    }

    const CliRun split = RunCli({"split", "--yes", "--size", "fat32", source.string()});
    ASSERT_EQ(split.exitStatus, 0) << split.error;
    const auto first = directory.Path() / "grande.000";
    const auto second = directory.Path() / "grande.001";
    EXPECT_EQ(std::filesystem::file_size(first), 4'293'632'016U) << "just under 4 GiB";
    EXPECT_EQ(std::filesystem::file_size(second), 1'075'077'136U);
    std::ifstream header(second, std::ios::binary);
    std::string headerBytes(16, '\0');
    header.read(headerBytes.data(), 16);
    EXPECT_EQ(headerBytes, test::PieceHeader(1, 2, "img"));

    const auto original = directory.Path() / "originale.img";
    std::filesystem::rename(source, original);
    const CliRun join = RunCli({"join", "--yes", first.string()});
    ASSERT_EQ(join.exitStatus, 0) << join.error;
    EXPECT_EQ(FirstDifference(original, source), -1);
}

}  // namespace
}  // namespace zirared::testing
