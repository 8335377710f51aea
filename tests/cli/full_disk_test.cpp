// zirared-cli on a small file system that fills up part way through a split or a join.
#include <gtest/gtest.h>
#include <sys/mount.h>
#include <sys/statvfs.h>

#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "cli_process.h"

namespace zirared::testing {
namespace {

constexpr std::size_t kSizeUnit = 1433600;
constexpr std::size_t kHeaderBytes = 16;
constexpr std::uint64_t kPage = 4096;  // tmpfs hands out space a page at a time
// Three pieces: two full ones and a last one of 700,000 bytes.
constexpr std::size_t kSourceBytes = 2 * kSizeUnit + 700'000;
// A full piece with its header takes 350 pages and 16 bytes, so 351 pages.
constexpr std::uint64_t kPagesPerFullPiece = (kSizeUnit + kHeaderBytes + kPage - 1) / kPage;
constexpr const char* kDiskFull =
    "Zirared (avviso): Spazio insufficiente sul disco.\nErrore n° 28\n";

bool Contains(const std::string& text, const std::string& part) {
    return text.find(part) != std::string::npos;
}

std::string PieceName(int index) {
    char name[32];
    std::snprintf(name, sizeof name, "report.%03d", index);
    return name;
}

// Piece index of a three-piece split of source, header included.
std::string ExpectedPiece(const std::string& source, int index) {
    char header[kHeaderBytes + 1];
    std::snprintf(header, sizeof header, "VAVOVOZ%03d003doc", index);
    return header + source.substr(static_cast<std::size_t>(index) * kSizeUnit, kSizeUnit);
}

// A tmpfs of its own; unmounted when the test ends, whatever happened in it.
class SmallFileSystem {
public:
    explicit SmallFileSystem(const std::filesystem::path& mountPoint) : m_mountPoint(mountPoint) {
        std::filesystem::create_directory(m_mountPoint);
        if (::mount("tmpfs", m_mountPoint.c_str(), "tmpfs", 0, "size=16m") == 0) {
            m_mounted = true;
        } else {
            m_failure = std::strerror(errno);
        }
    }
    ~SmallFileSystem() {
        if (m_mounted) {
            ::umount2(m_mountPoint.c_str(), MNT_DETACH);
        }
    }
    SmallFileSystem(const SmallFileSystem&) = delete;
    SmallFileSystem& operator=(const SmallFileSystem&) = delete;

    bool Mounted() const { return m_mounted; }
    const std::string& Failure() const { return m_failure; }

    std::uint64_t FreeBytes() const {
        struct statvfs status {};
        ::statvfs(m_mountPoint.c_str(), &status);
        return static_cast<std::uint64_t>(status.f_bavail) * status.f_frsize;
    }

    // Takes space with a ballast file outside the working directory until exactly `bytes`
    // (whole pages) are left.
    void LeaveFree(std::uint64_t bytes) {
        const std::uint64_t free = FreeBytes();
        ASSERT_GE(free, bytes) << "the file system is too small for this case";
        WriteFile(m_mountPoint / "ballast", std::string(free - bytes, '\0'));
        ASSERT_EQ(FreeBytes(), bytes);
    }

private:
    std::filesystem::path m_mountPoint;
    bool m_mounted = false;
    std::string m_failure;
};

class FullDisk : public ::testing::Test {
protected:
    void SetUp() override {
        m_fileSystem = std::make_unique<SmallFileSystem>(m_scratch.Path() / "fs");
        if (!m_fileSystem->Mounted()) {
            GTEST_SKIP() << "cannot mount a tmpfs here (" << m_fileSystem->Failure()
                         << "): the full-disk cases need root with CAP_SYS_ADMIN";
        }
        std::filesystem::create_directory(m_work);
        WriteFile(m_source, m_original);
    }

    // Splits the source on the roomy file system, keeping the pieces and removing the source.
    void MakePieces() {
        const CliRun split = RunCli({"split", "--yes", m_source.string()});
        ASSERT_EQ(split.exitStatus, 0) << split.error;
        std::filesystem::remove(m_source);
        for (int index = 0; index < 3; ++index) {
            m_pieces.push_back(ReadFile(m_work / PieceName(index)));
        }
    }

    void ExpectPiecesUntouched() {
        for (int index = 0; index < 3; ++index) {
            EXPECT_TRUE(ReadFile(m_work / PieceName(index)) == m_pieces[index])
                << PieceName(index) << " changed";
        }
    }

    CliRun Join() { return RunCli({"join", "--yes", (m_work / PieceName(0)).string()}); }

    TempDirectory m_scratch;
    std::unique_ptr<SmallFileSystem> m_fileSystem;  // declared after m_scratch: unmounted first
    std::filesystem::path m_work = m_scratch.Path() / "fs" / "work";
    std::filesystem::path m_source = m_work / "report.doc";
    std::string m_original = PseudoRandomBytes(kSourceBytes, 23);
    std::vector<std::string> m_pieces;
};

struct SplitRow {
    const char* why;
    std::uint64_t freePages;
    int lastPiece;  // the piece being written when the disk filled
};

class SplitOntoFullDisk : public FullDisk, public ::testing::WithParamInterface<SplitRow> {};

TEST_P(SplitOntoFullDisk, KeepsThePiecesWrittenSoFarAndTheSource) {
    const SplitRow& row = GetParam();
    ASSERT_NO_FATAL_FAILURE(m_fileSystem->LeaveFree(row.freePages * kPage));
    const CliRun split = RunCli({"split", "--yes", m_source.string()});
    EXPECT_EQ(split.exitStatus, 1);
    EXPECT_TRUE(Contains(split.error, kDiskFull)) << split.error;
    EXPECT_TRUE(ReadFile(m_source) == m_original) << "the source changed";

    std::vector<std::string> expectedNames;
    for (int index = 0; index <= row.lastPiece; ++index) {
        expectedNames.push_back(PieceName(index));
    }
    expectedNames.push_back("report.doc");
    ASSERT_EQ(FileNames(m_work), expectedNames);
    for (int index = 0; index < row.lastPiece; ++index) {
        EXPECT_TRUE(ReadFile(m_work / PieceName(index)) == ExpectedPiece(m_original, index))
            << PieceName(index) << " should be complete";
    }
    const std::string last = ReadFile(m_work / PieceName(row.lastPiece));
    const std::string whole = ExpectedPiece(m_original, row.lastPiece);
    EXPECT_LT(last.size(), whole.size());
    EXPECT_TRUE(whole.starts_with(last)) << "the incomplete piece must hold what was written";
}

INSTANTIATE_TEST_SUITE_P(
    Rows, SplitOntoFullDisk,
    ::testing::Values(SplitRow{"FillsInsideTheFirstPiece", 100, 0},
                      // The second piece is created, but its 16-byte header finds no room.
                      SplitRow{"NoRoomForTheSecondPiecesHeader", kPagesPerFullPiece, 1},
                      SplitRow{"FillsInsideTheSecondPiece", kPagesPerFullPiece + 100, 1}),
    [](const auto& info) { return std::string(info.param.why); });

struct JoinRow {
    const char* why;
    std::uint64_t freePages;
};

class JoinOntoFullDisk : public FullDisk, public ::testing::WithParamInterface<JoinRow> {};

TEST_P(JoinOntoFullDisk, OutputKeepsTheDataWrittenSoFar) {
    ASSERT_NO_FATAL_FAILURE(MakePieces());
    const std::uint64_t freeBytes = GetParam().freePages * kPage;
    ASSERT_NO_FATAL_FAILURE(m_fileSystem->LeaveFree(freeBytes));
    const CliRun join = Join();
    EXPECT_EQ(join.exitStatus, 1);
    EXPECT_TRUE(Contains(join.error, kDiskFull)) << join.error;
    ExpectPiecesUntouched();
    EXPECT_EQ(FileNames(m_work),
              (std::vector<std::string>{"report.000", "report.001", "report.002", "report.doc"}));
    const std::string rebuilt = ReadFile(m_source);
    EXPECT_LT(rebuilt.size(), m_original.size());
    EXPECT_TRUE(m_original.starts_with(rebuilt)) << "the output must hold the data in order";
    EXPECT_GT(rebuilt.size() + kPage, freeBytes) << "data the disk accepted went missing";
}

INSTANTIATE_TEST_SUITE_P(Rows, JoinOntoFullDisk,
                         ::testing::Values(JoinRow{"FillsInsideTheFirstPiece", 100},
                                           JoinRow{"FillsInsideTheSecondPiece", 500},
                                           JoinRow{"NoRoomAtAll", 0}),
                         [](const auto& info) { return std::string(info.param.why); });

// Replacing means the old file is emptied before the copy starts: when the disk then fills,
// neither the old content nor the whole new one is left, only the new data written so far.
TEST_F(FullDisk, JoinThatReplacesAFileLosesTheOldContent) {
    ASSERT_NO_FATAL_FAILURE(MakePieces());
    const std::uint64_t oldBytes = 300 * kPage;
    WriteFile(m_source, PseudoRandomBytes(oldBytes, 5));
    const std::uint64_t freeBytes = 100 * kPage;
    ASSERT_NO_FATAL_FAILURE(m_fileSystem->LeaveFree(freeBytes));
    const CliRun join = Join();
    EXPECT_EQ(join.exitStatus, 1);
    EXPECT_TRUE(Contains(join.error, "esiste già!")) << join.error;
    EXPECT_TRUE(Contains(join.error, kDiskFull)) << join.error;
    ExpectPiecesUntouched();
    const std::string rebuilt = ReadFile(m_source);
    EXPECT_TRUE(m_original.starts_with(rebuilt)) << "old bytes survived the replacement";
    EXPECT_GT(rebuilt.size() + kPage, oldBytes + freeBytes)
        << "the old file's room should have gone to the new data";
}

}  // namespace
}  // namespace zirared::testing
