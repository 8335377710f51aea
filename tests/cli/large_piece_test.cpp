// --size fat32 on a sparse 5 GiB source: about 10 GiB written (the pieces, then the rebuilt
// file), so it carries the label "large" and runs with the interchange, not the quick suite.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/statvfs.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>

#include "cli_process.h"

namespace zirared::testing {
namespace {

constexpr off_t kGiB = off_t{1} << 30;

TEST(LargePieces, Fat32PiecesOfAFiveGiBSourceJoinBackByteForByte) {
    const char* tmpdir = std::getenv("TMPDIR");  // else /var/tmp, on disk where /tmp may not be
    TempDirectory directory(tmpdir != nullptr && *tmpdir != '\0' ? tmpdir : "/var/tmp");
    struct statvfs facts {};
    ASSERT_EQ(statvfs(directory.Path().c_str(), &facts), 0);
    if (static_cast<off_t>(facts.f_bavail * facts.f_frsize) < 11 * kGiB) {
        GTEST_SKIP() << "needs 11 GiB free in " << directory.Path();
    }
    // Sparse, with random marks where a 32-bit or misplaced offset would show: the start,
    // across the end of the first piece (2995 units), across 4 GiB, the end.
    const auto source = directory.Path() / "grande.img";
    const int fd = open(source.c_str(), O_WRONLY | O_CREAT | O_EXCL, 0600);
    ASSERT_EQ(ftruncate(fd, 5 * kGiB), 0);
    for (const off_t at : {off_t{0}, 4'293'632'000 - 4096, 4 * kGiB - 4096, 5 * kGiB - 8192}) {
        const std::string mark = PseudoRandomBytes(8192, static_cast<unsigned>(at % 251 + 1));
        ASSERT_EQ(pwrite(fd, mark.data(), mark.size(), at), 8192);
    }
    ASSERT_EQ(close(fd), 0);

    const CliRun split = RunCli({"split", "--yes", "--size", "fat32", source.string()});
    ASSERT_EQ(split.exitStatus, 0) << split.error;
    const auto first = directory.Path() / "grande.000";
    EXPECT_EQ(std::filesystem::file_size(first), 4'293'632'016U) << "just under 4 GiB";
    EXPECT_EQ(std::filesystem::file_size(directory.Path() / "grande.001"), 1'075'077'136U);
    const auto original = directory.Path() / "originale.img";
    std::filesystem::rename(source, original);
    const CliRun join = RunCli({"join", "--yes", first.string()});
    ASSERT_EQ(join.exitStatus, 0) << join.error;
    const std::string cmp = "cmp '" + original.string() + "' '" + source.string() + "'";
    EXPECT_EQ(std::system(cmp.c_str()), 0) << cmp;
}

}  // namespace
}  // namespace zirared::testing
