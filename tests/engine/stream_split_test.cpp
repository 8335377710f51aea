#include "stream_split.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>

#include "piece_bytes.h"
#include "print_row.h"
#include "scripted_host.h"
#include "test_files.h"

namespace zirared {
namespace {

using test::Digits;
using test::PieceHeader;
using test::PrintTo;

constexpr std::int32_t kOneKB = 1;  // M = 1024: 999 pieces stay small
constexpr std::size_t kM = 1024;

// Bytes handed out in uneven reads that cross piece boundaries, with a signal's interruption
// (no bytes, not the end) every fifth read.
class MemorySource final : public ByteSource {
public:
    explicit MemorySource(std::string bytes) : m_bytes(std::move(bytes)) {}
    std::optional<std::size_t> ReadSome(char* into, std::size_t size) override {
        if (++m_reads % 5 == 0) {
            return std::nullopt;
        }
        const std::size_t now = std::min({size, std::size_t{777}, m_bytes.size() - m_offset});
        std::memcpy(into, m_bytes.data() + m_offset, now);
        m_offset += now;
        return now;
    }
    int Reads() const { return m_reads; }

private:
    std::string m_bytes;
    std::size_t m_offset = 0;
    int m_reads = 0;
};

struct StreamRow {
    const char* why;
    std::string input;
    Outcome outcome;
    int pieces;           // left in the folder
    const char* warning;  // part of the warning that ends the run, or ""
    int stopAt = 0;       // the event pass of a Stop click; 0: none
};

class StreamSplitTest : public testing::TestWithParam<StreamRow> {
protected:
    Outcome Split(MemorySource& source) {
        return SplitStream(m_host, source, m_dir / "backup.tar", kOneKB);
    }
    test::TempDir m_dir;
    test::ScriptedHost m_host;
};

TEST_P(StreamSplitTest, PiecesCarryTheInputOrNothingIsLeft) {
    const StreamRow& row = GetParam();
    MemorySource source(row.input);
    if (row.stopAt != 0) {
        m_host.RequestStopAtEventPass(row.stopAt);
    }
    EXPECT_EQ(Split(source), row.outcome);
    std::vector<std::string> expected;
    std::string data;
    for (int k = 0; k < row.pieces; ++k) {
        expected.push_back("backup." + Digits(k));
        const std::string piece = test::ReadFile(m_dir / expected.back());
        ASSERT_EQ(piece.substr(0, 16), PieceHeader(k, row.pieces, "tar")) << expected.back();
        data += piece.substr(16);
    }
    EXPECT_EQ(m_dir.Names(), expected) << "no temporary file stays";
    EXPECT_TRUE(row.pieces == 0 || data == row.input) << "the pieces' data differ from the input";
    const std::vector<std::string> outline = m_host.Outline();
    EXPECT_EQ(std::count_if(outline.begin(), outline.end(),
                            [&](const std::string& line) {
                                return line.starts_with("warning|") &&
                                       line.find(row.warning) != std::string::npos;
                            }),
              *row.warning != '\0' ? 1 : 0);
}

INSTANTIATE_TEST_SUITE_P(
    Rows, StreamSplitTest,
    testing::Values(
        StreamRow{"LastPieceShort", test::PatternBytes(2 * kM + 100), Outcome::Completed, 3, ""},
        StreamRow{"ExactMultipleEndsWithAHeaderOnlyPiece", test::PatternBytes(2 * kM),
                  Outcome::Completed, 3, ""},
        StreamRow{"NineHundredNinetyNinePiecesFit", test::PatternBytes(998 * kM + 1),
                  Outcome::Completed, 999, ""},
        StreamRow{"OnePieceTooManyLeavesNothing", test::PatternBytes(999 * kM), Outcome::Failed, 0,
                  "più di 999 files"},
        StreamRow{"NoLargerThanOnePieceAsAFile", test::PatternBytes(kM), Outcome::Refused, 0,
                  "Il file ha dimensioni minori rispetto alle dimensioni scelte per dividere "
                  "il file!"},
        StreamRow{"AlreadySplitAsAFile", "VAVOVOZ" + test::PatternBytes(2 * kM), Outcome::Refused,
                  0, "Il file è già stato diviso in precedenza!"},
        StreamRow{"StopMidInputLeavesNothing", test::PatternBytes(50 * kM), Outcome::Stopped, 0, "",
                  20}),
    [](const auto& info) { return std::string(info.param.why); });

class StreamSplitScript : public StreamSplitTest {};

TEST_F(StreamSplitScript, ForeignFileAskedBeforeTheInputIsRead) {
    test::WriteFile(m_dir / "backup.500", "mine");
    m_host.QueueAnswer(Answer::No);
    MemorySource source(test::PatternBytes(3 * kM));
    EXPECT_EQ(Split(source), Outcome::Declined);
    EXPECT_EQ(source.Reads(), 0) << "declined while the input could still go elsewhere";
    EXPECT_EQ(m_host.Outline().front(), "question|Il file " + (m_dir / "backup.500") +
                                            " esiste già!\r\nSovrascrivere il file?");
    EXPECT_EQ(test::ReadFile(m_dir / "backup.500"), "mine");
}

}  // namespace
}  // namespace zirared
