// Plain numbered sets: headerless pieces NAME.001, ... as other splitters write them.
#include "plain_set.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <sstream>
#include <string>
#include <vector>

#include "assemble_file.h"
#include "check_piece_set.h"
#include "print_row.h"
#include "scripted_host.h"
#include "split_file.h"
#include "test_files.h"

namespace zirared {
namespace {

using test::PatternBytes;
using test::PrintTo;
using test::ReadFile;
using test::WriteFile;

// Writes f.bin.NNN for each "NNN:size" (pattern bytes) or "NNN=text" of layout; their bytes.
std::string WritePieces(const test::TempDir& dir, const std::string& layout) {
    std::istringstream words(layout);
    std::string data;
    for (std::string word; words >> word;) {
        const std::string name = "f.bin." + word.substr(0, 3);
        const std::string bytes =
            word[3] == '='
                ? word.substr(4)
                : PatternBytes(std::stoul(word.substr(4)), static_cast<unsigned>(data.size()) + 5);
        WriteFile(dir / name, bytes);
        data += bytes;
    }
    return data;
}

// The texts of the messages shown.
std::vector<std::string> Messages(const test::ScriptedHost& host) {
    std::vector<std::string> shown;
    for (const test::HostCall& call : host.Calls()) {
        if (call.kind == test::CallKind::Message) {
            shown.push_back(call.text);
        }
    }
    return shown;
}

enum class Asked { Not, Yes, No };  // the window's question, and its answer

struct JoinRow {
    const char* why;
    const char* pieces;  // for WritePieces
    Outcome outcome;
    std::string message;    // the last shown; a refusal leaves the folder as it was
    std::string md5List{};  // written as f.bin.md5 if not empty
    Asked asked = Asked::Not;
    const char* chosen = "001";  // after "f.bin."
};

const char* const kJoined = "Il file {dir}/f.bin\r\nè stato riassemblato correttamente.";
const char* const kNotValid = "Questo non è un file valido!";
const std::string kDamaged = "Il file '{dir}/f.bin.002' è incompleto o danneggiato! ";
const std::string kNotJoined = "\r\nIl file {dir}/f.bin non è stato riassemblato.";
// md5sum's digests of "abc" and "ab"; a list of three pieces abc, abc, ab.
std::string Md5List(const char* second) {
    return std::string("900150983cd24fb0d6963f7d28e17f72  f.bin.001\n") + second +
           "  f.bin.002\n187ef4436122d1cc2f40dc2b92f0eba0  f.bin.003\n";
}

class PlainJoinTest : public testing::TestWithParam<JoinRow> {};

TEST_P(PlainJoinTest, JoinsWhatOtherSplittersWriteAndRefusesTheRestNamingTheFile) {
    const JoinRow& row = GetParam();
    test::TempDir dir;
    const std::string data = WritePieces(dir, row.pieces);
    if (!row.md5List.empty()) {
        WriteFile(dir / "f.bin.md5", row.md5List);
    }
    const std::vector<std::string> before = dir.Names();
    test::ScriptedHost host;
    if (row.asked != Asked::Not) {
        host.QueueAnswer(row.asked == Asked::Yes ? Answer::Yes : Answer::No);
    }
    std::vector<std::string> pieceFiles;
    EXPECT_EQ(AssembleFile(host, dir / ("f.bin." + std::string(row.chosen)), pieceFiles,
                           ListUse::Required,
                           row.asked == Asked::Not ? PlainSetUse::Join : PlainSetUse::Ask),
              row.outcome);
    const std::vector<std::string> shown = Messages(host);
    ASSERT_FALSE(shown.empty());
    EXPECT_EQ(shown.back(), test::Placed(row.message, dir.Path()));
    if (row.asked != Asked::Not) {
        EXPECT_EQ(shown.front(), dir / "f.bin.001" +
                                     " non è un file splittato. Riassemblare i file f.bin.001 … "
                                     "f.bin.003 come sequenza semplice?");
    }
    if (row.outcome == Outcome::Completed) {
        EXPECT_TRUE(ReadFile(dir / "f.bin") == data) << "rebuilt bytes differ";
    } else {
        EXPECT_EQ(dir.Names(), before) << "nothing written";
    }
}

INSTANTIATE_TEST_SUITE_P(
    Sets, PlainJoinTest,
    testing::Values(
        JoinRow{"split_numeric_suffixes_1", "001:100 002:100 003:40", Outcome::Completed, kJoined},
        JoinRow{"split_d_from_000", "000:100 001:7", Outcome::Completed, kJoined, "", Asked::Not,
                "000"},
        JoinRow{"last_as_long_as_the_first", "001:64 002:64", Outcome::Completed, kJoined},
        JoinRow{"a_lone_file_is_no_set", "001:30", Outcome::Refused, kNotValid},
        JoinRow{"ours_with_a_damaged_first_header", "001:16 002=VAVOVOZ001002bin", Outcome::Refused,
                kNotValid},
        JoinRow{"gap_names_the_missing_piece", "001:100 002:100 004:10", Outcome::Refused,
                "Il file '{dir}/f.bin.003' non esiste!"},
        JoinRow{"middle_piece_short", "001:100 002:90 003:40", Outcome::Refused,
                kDamaged + "(90 byte invece di 100)"},
        JoinRow{"last_piece_longer", "001:100 002:101", Outcome::Refused,
                kDamaged + "(101 byte invece di da 1 a 100)"},
        JoinRow{"last_piece_empty", "001:100 002:0", Outcome::Refused,
                kDamaged + "(0 byte invece di da 1 a 100)"},
        JoinRow{"first_piece_empty", "001:0 002:0", Outcome::Refused,
                "Il file '{dir}/f.bin.001' è incompleto o danneggiato! (0 byte invece di almeno "
                "1)"},
        JoinRow{"001_while_000_stands_there", "000:10 001:10", Outcome::Refused,
                "Questo non è il primo file della sequenza! La sequenza comincia da "
                "{dir}/f.bin.000."},
        JoinRow{"a_middle_number_chosen", "001:10 002:10", Outcome::Refused, kNotValid, "",
                Asked::Not, "002"},
        JoinRow{"md5sum_list", "001=abc 002=abc 003=ab", Outcome::Completed,
                std::string(kJoined) +
                    "\r\nIl contenuto è stato verificato con il file {dir}/f.bin.md5.",
                Md5List("900150983cd24fb0d6963f7d28e17f72")},
        JoinRow{"md5sum_list_catches_an_altered_piece", "001=abc 002=abc 003=ab", Outcome::Failed,
                "Il file {dir}/f.bin.002 è stato alterato: il suo contenuto non corrisponde "
                "all'elenco di controllo {dir}/f.bin.md5." +
                    kNotJoined,
                Md5List("187ef4436122d1cc2f40dc2b92f0eba0")},
        JoinRow{"sha256_digests_in_an_md5_list", "001=abc 002=abc 003=ab", Outcome::Refused,
                "Impossibile usare l'elenco di controllo {dir}/f.bin.md5: Riga 1: non comincia "
                "con un'impronta MD5 di 32 cifre esadecimali." +
                    kNotJoined,
                "ba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ad  f.bin.001\n"},
        JoinRow{"window_asks_and_joins_on_yes", "001=abc 002=abc 003=ab", Outcome::Completed,
                kJoined, "", Asked::Yes},
        JoinRow{"window_no_keeps_the_warning", "001=abc 002=abc 003=ab", Outcome::Refused,
                kNotValid, "", Asked::No}));

struct SplitRow {
    const char* why;
    std::size_t sourceSize;
    std::int64_t pieceBytes;
    const char* pieces;  // "name:size" of some pieces written; "" for a refusal
    std::size_t count;
};

class PlainSplitTest : public testing::TestWithParam<SplitRow> {};

TEST_P(PlainSplitTest, WritesHeaderlessPiecesOfExactlyTheSizeAskedThatJoinBack) {
    const SplitRow& row = GetParam();
    test::TempDir dir;
    const std::string source = PatternBytes(row.sourceSize, 9);
    WriteFile(dir / "f.bin", source);
    test::ScriptedHost host;
    host.QueueAnswer(Answer::Yes);
    const Outcome outcome = SplitFilePlain(host, dir / "f.bin", row.pieceBytes, true);
    if (row.count == 0) {
        EXPECT_EQ(outcome, Outcome::Refused);
        EXPECT_EQ(Messages(host).back(),
                  "Il file verrebbe diviso in più di 9999 files!\r\nScegliere una dimensione "
                  "maggiore e riprovare.");
        EXPECT_EQ(dir.Names(), std::vector<std::string>{"f.bin"});
        return;
    }
    ASSERT_EQ(outcome, Outcome::Completed);
    EXPECT_EQ(dir.Names().size(), row.count + 2) << "pieces, source and list";
    std::istringstream words(row.pieces);
    for (std::string word; words >> word;) {
        const std::size_t colon = word.find(':');
        EXPECT_EQ(test::FileSize(dir / word.substr(0, colon)), std::stoll(word.substr(colon + 1)))
            << word;
    }
    // The join takes the set back, verifying it against the list the split wrote.
    std::filesystem::rename(dir / "f.bin", dir / "source");
    std::vector<std::string> pieceFiles;
    EXPECT_EQ(
        AssembleFile(host, dir / "f.bin.001", pieceFiles, ListUse::Required, PlainSetUse::Join),
        Outcome::Completed);
    EXPECT_TRUE(ReadFile(dir / "f.bin") == source);
}

INSTANTIATE_TEST_SUITE_P(
    Sizes, PlainSplitTest,
    testing::Values(SplitRow{"any_byte_size", 30'000, 10'241, "f.bin.001:10241 f.bin.003:9518", 3},
                    SplitRow{"exact_multiple_has_no_empty_last", 200, 100, "f.bin.002:100", 2},
                    SplitRow{"four_digits_past_999", 1'001, 1, "f.bin.999:1 f.bin.1001:1", 1'001},
                    SplitRow{"more_pieces_than_names", 10'000, 1, "", 0}));

// The check lists every problem of a plain set at once, in number order.
TEST(PlainCheckTest, ListsAGapAndAShortPieceAtOnce) {
    test::TempDir dir;
    WritePieces(dir, "001:50 002:20 004:50 005:9");
    const SetCheckReport report = CheckPieceSet(dir / "f.bin.001");
    ASSERT_EQ(report.problems.size(), 2U);
    EXPECT_EQ(report.problems[0].kind, SetProblemKind::WrongLength);
    EXPECT_EQ(report.problems[1].path, dir / "f.bin.003");
    EXPECT_EQ(report.rebuiltPath, dir / "f.bin");
    EXPECT_EQ(report.rebuiltSize, 129);
    EXPECT_EQ(report.pieceCount, 5);
}

}  // namespace
}  // namespace zirared
