// Plain numbered sets: headerless pieces NAME.001, ... as other splitters write them.
#include "plain_set.h"

#include <gtest/gtest.h>

#include <filesystem>
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
using test::Placed;
using test::PrintTo;
using test::ReadFile;
using test::WriteFile;

struct Piece {
    const char* name;
    std::size_t size;
    std::string head = {};  // its first bytes, the rest a pattern
};

// The last message shown, with the test's folder written as {dir}.
std::string LastMessage(const test::ScriptedHost& host, const std::string& dir) {
    for (auto call = host.Calls().rbegin(); call != host.Calls().rend(); ++call) {
        if (call->kind == test::CallKind::Message) {
            std::string text = call->text;
            for (std::size_t at; (at = text.find(dir)) != std::string::npos;) {
                text.replace(at, dir.size(), "{dir}");
            }
            return text;
        }
    }
    return {};
}

struct JoinRow {
    const char* why;
    std::vector<Piece> pieces;
    const char* chosen;
    Outcome outcome;
    const char* message;  // the last one shown; for a refusal nothing is written
};

const char* const kJoined = "Il file {dir}/f.bin\r\nè stato riassemblato correttamente.";
const char* const kNotValid = "Questo non è un file valido!";

class PlainJoinTest : public testing::TestWithParam<JoinRow> {};

TEST_P(PlainJoinTest, JoinsWhatOtherSplittersWriteAndRefusesTheRestNamingTheFile) {
    const JoinRow& row = GetParam();
    test::TempDir dir;
    std::string data;
    for (const Piece& piece : row.pieces) {
        const std::string bytes = piece.head + PatternBytes(piece.size - piece.head.size(),
                                                            static_cast<unsigned>(data.size()) + 5);
        WriteFile(dir / piece.name, bytes);
        data += bytes;
    }
    const std::vector<std::string> before = dir.Names();
    test::ScriptedHost host;
    std::vector<std::string> pieceFiles;
    EXPECT_EQ(
        AssembleFile(host, dir / row.chosen, pieceFiles, ListUse::Required, PlainSetUse::Join),
        row.outcome);
    EXPECT_EQ(LastMessage(host, dir.Path()), row.message);
    if (row.outcome == Outcome::Completed) {
        EXPECT_TRUE(ReadFile(dir / "f.bin") == data) << "rebuilt bytes differ";
    } else {
        EXPECT_EQ(dir.Names(), before) << "a refused set leaves the folder as it was";
    }
}

INSTANTIATE_TEST_SUITE_P(
    Sets, PlainJoinTest,
    testing::Values(
        JoinRow{"split_numeric_suffixes_1",
                {{"f.bin.001", 100}, {"f.bin.002", 100}, {"f.bin.003", 40}},
                "f.bin.001",
                Outcome::Completed,
                kJoined},
        JoinRow{"split_d_from_000",
                {{"f.bin.000", 100}, {"f.bin.001", 7}},
                "f.bin.000",
                Outcome::Completed,
                kJoined},
        JoinRow{"last_as_long_as_the_first",
                {{"f.bin.001", 64}, {"f.bin.002", 64}},
                "f.bin.001",
                Outcome::Completed,
                kJoined},
        JoinRow{
            "a_lone_file_is_no_set", {{"f.bin.001", 30}}, "f.bin.001", Outcome::Refused, kNotValid},
        JoinRow{"ours_with_a_damaged_first_header",
                {{"f.bin.001", 30}, {"f.bin.002", 30, "VAVOVOZ001002bin"}},
                "f.bin.001",
                Outcome::Refused,
                kNotValid},
        JoinRow{"gap_names_the_missing_piece",
                {{"f.bin.001", 100}, {"f.bin.002", 100}, {"f.bin.004", 10}},
                "f.bin.001",
                Outcome::Refused,
                "Il file '{dir}/f.bin.003' non esiste!"},
        JoinRow{"middle_piece_short",
                {{"f.bin.001", 100}, {"f.bin.002", 90}, {"f.bin.003", 40}},
                "f.bin.001",
                Outcome::Refused,
                "Il file '{dir}/f.bin.002' è incompleto o danneggiato! (90 byte invece di 100)"},
        JoinRow{"last_piece_longer",
                {{"f.bin.001", 100}, {"f.bin.002", 101}},
                "f.bin.001",
                Outcome::Refused,
                "Il file '{dir}/f.bin.002' è incompleto o danneggiato! (101 byte invece di da 1 "
                "a 100)"},
        JoinRow{"last_piece_empty",
                {{"f.bin.001", 100}, {"f.bin.002", 0}},
                "f.bin.001",
                Outcome::Refused,
                "Il file '{dir}/f.bin.002' è incompleto o danneggiato! (0 byte invece di da 1 a "
                "100)"},
        JoinRow{"first_piece_empty",
                {{"f.bin.001", 0}, {"f.bin.002", 0}},
                "f.bin.001",
                Outcome::Refused,
                "Il file '{dir}/f.bin.001' è incompleto o danneggiato! (0 byte invece di almeno "
                "1)"},
        JoinRow{"001_while_000_stands_there",
                {{"f.bin.000", 10}, {"f.bin.001", 10}},
                "f.bin.001",
                Outcome::Refused,
                "Questo non è il primo file della sequenza! La sequenza comincia da "
                "{dir}/f.bin.000."},
        JoinRow{"a_middle_number_chosen",
                {{"f.bin.001", 10}, {"f.bin.002", 10}},
                "f.bin.002",
                Outcome::Refused,
                kNotValid},
        JoinRow{"no_name_before_the_number", {{".001", 10}}, ".001", Outcome::Refused, kNotValid},
        JoinRow{"four_digits", {{"f.bin.0001", 10}}, "f.bin.0001", Outcome::Refused, kNotValid}));

struct QuestionRow {
    const char* why;
    Answer answer;
    Outcome outcome;
    const char* lastMessage;
};

class PlainQuestionTest : public testing::TestWithParam<QuestionRow> {};

// The window asks before joining a file without a header; No keeps the old warning.
TEST_P(PlainQuestionTest, WindowAsksFirst) {
    const QuestionRow& row = GetParam();
    test::TempDir dir;
    for (const char* name : {"f.bin.001", "f.bin.002", "f.bin.003"}) {
        WriteFile(dir / name, "abc");
    }
    test::ScriptedHost host;
    host.QueueAnswer(row.answer);
    std::vector<std::string> pieceFiles;
    EXPECT_EQ(AssembleFile(host, dir / "f.bin.001", pieceFiles), row.outcome);
    ASSERT_GE(host.Calls().size(), 1U);
    EXPECT_EQ(Placed("{dir}/f.bin.001 non è un file splittato. Riassemblare i file f.bin.001 … "
                     "f.bin.003 come sequenza semplice?",
                     dir.Path()),
              host.Calls().front().text);
    EXPECT_EQ(LastMessage(host, dir.Path()), row.lastMessage);
    EXPECT_EQ(test::PathExists(dir / "f.bin"), row.outcome == Outcome::Completed);
}

INSTANTIATE_TEST_SUITE_P(
    Answers, PlainQuestionTest,
    testing::Values(QuestionRow{"yes_joins", Answer::Yes, Outcome::Completed, kJoined},
                    QuestionRow{"no_keeps_the_warning", Answer::No, Outcome::Refused, kNotValid}));

// Digests of "abc" and "ab" as sha256sum and md5sum print them.
constexpr const char* kSha256Abc =
    "ba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ad";
constexpr const char* kSha256Ab =
    "fb8e20fc2e4c3f248c60c39bd652f3c1347298bb977b8b4d5903b85055620603";
constexpr const char* kMd5Abc = "900150983cd24fb0d6963f7d28e17f72";
constexpr const char* kMd5Ab = "187ef4436122d1cc2f40dc2b92f0eba0";

struct ListRow {
    const char* why;
    const char* listName;
    std::string list;
    Outcome outcome;
    const char* message;
};

std::string Lines(const char* first, const char* second, const char* third) {
    return std::string(first) + "  f.bin.001\n" + second + "  f.bin.002\n" + third +
           "  f.bin.003\n";
}

class PlainListTest : public testing::TestWithParam<ListRow> {};

TEST_P(PlainListTest, ListBesideTheSetIsVerified) {
    const ListRow& row = GetParam();
    test::TempDir dir;
    WriteFile(dir / "f.bin.001", "abc");
    WriteFile(dir / "f.bin.002", "abc");
    WriteFile(dir / "f.bin.003", "ab");
    WriteFile(dir / row.listName, row.list);
    test::ScriptedHost host;
    std::vector<std::string> pieceFiles;
    EXPECT_EQ(
        AssembleFile(host, dir / "f.bin.001", pieceFiles, ListUse::Required, PlainSetUse::Join),
        row.outcome);
    EXPECT_EQ(LastMessage(host, dir.Path()), row.message);
    EXPECT_EQ(test::PathExists(dir / "f.bin"), row.outcome == Outcome::Completed);
}

INSTANTIATE_TEST_SUITE_P(
    Lists, PlainListTest,
    testing::Values(
        ListRow{"sha256sum_of_the_pieces", "f.bin.sha256", Lines(kSha256Abc, kSha256Abc, kSha256Ab),
                Outcome::Completed,
                "Il file {dir}/f.bin\r\nè stato riassemblato correttamente.\r\nIl contenuto è "
                "stato verificato con il file {dir}/f.bin.sha256."},
        ListRow{"md5sum_of_the_pieces", "f.bin.md5", Lines(kMd5Abc, kMd5Abc, kMd5Ab),
                Outcome::Completed,
                "Il file {dir}/f.bin\r\nè stato riassemblato correttamente.\r\nIl contenuto è "
                "stato verificato con il file {dir}/f.bin.md5."},
        ListRow{"md5_piece_altered", "f.bin.md5", Lines(kMd5Abc, kMd5Ab, kMd5Ab), Outcome::Failed,
                "Il file {dir}/f.bin.002 è stato alterato: il suo contenuto non corrisponde "
                "all'elenco di controllo {dir}/f.bin.md5.\r\nIl file {dir}/f.bin non è stato "
                "riassemblato."},
        ListRow{"md5_list_lacks_a_piece", "f.bin.md5",
                std::string(kMd5Abc) + "  f.bin.001\n" + kMd5Ab + "  f.bin.003\n", Outcome::Refused,
                "Impossibile usare l'elenco di controllo {dir}/f.bin.md5: Manca la riga del file "
                "{dir}/f.bin.002.\r\nIl file {dir}/f.bin non è stato riassemblato."},
        ListRow{"sha256_digest_in_an_md5_list", "f.bin.md5",
                Lines(kSha256Abc, kSha256Abc, kSha256Ab), Outcome::Refused,
                "Impossibile usare l'elenco di controllo {dir}/f.bin.md5: Riga 1: non comincia "
                "con un'impronta MD5 di 32 cifre esadecimali.\r\nIl file {dir}/f.bin non è stato "
                "riassemblato."}));

struct SplitRow {
    const char* why;
    std::size_t sourceSize;
    std::int64_t pieceBytes;
    std::vector<Piece> pieces;  // first and last written; none for a refusal
    std::size_t count;
    const char* refusal;
};

class PlainSplitTest : public testing::TestWithParam<SplitRow> {};

TEST_P(PlainSplitTest, WritesHeaderlessPiecesOfExactlyTheSizeAsked) {
    const SplitRow& row = GetParam();
    test::TempDir dir;
    const std::string source = PatternBytes(row.sourceSize, 9);
    WriteFile(dir / "f.bin", source);
    test::ScriptedHost host;
    host.QueueAnswer(Answer::Yes);
    const Outcome outcome = SplitFilePlain(host, dir / "f.bin", row.pieceBytes, true);
    if (row.refusal != nullptr) {
        EXPECT_EQ(outcome, Outcome::Refused);
        EXPECT_EQ(LastMessage(host, dir.Path()), row.refusal);
        EXPECT_EQ(dir.Names(), std::vector<std::string>{"f.bin"});
        return;
    }
    ASSERT_EQ(outcome, Outcome::Completed);
    EXPECT_EQ(dir.Names().size(), row.count + 2) << "pieces, source and list";
    for (const Piece& piece : row.pieces) {
        EXPECT_EQ(test::FileSize(dir / piece.name), static_cast<long long>(piece.size))
            << piece.name;
    }
    // Joined back by the join itself: the list it wrote is verified on the way.
    std::filesystem::rename(dir / "f.bin", dir / "source");
    std::vector<std::string> pieceFiles;
    EXPECT_EQ(
        AssembleFile(host, dir / "f.bin.001", pieceFiles, ListUse::Required, PlainSetUse::Join),
        Outcome::Completed);
    EXPECT_TRUE(ReadFile(dir / "f.bin") == source);
}

INSTANTIATE_TEST_SUITE_P(
    Sizes, PlainSplitTest,
    testing::Values(
        SplitRow{
            "remainder_in_the_last", 250, 100, {{"f.bin.001", 100}, {"f.bin.003", 50}}, 3, nullptr},
        SplitRow{"exact_multiple_has_no_empty_last", 200, 100, {{"f.bin.002", 100}}, 2, nullptr},
        SplitRow{"any_byte_size",
                 30'000,
                 10'241,
                 {{"f.bin.001", 10'241}, {"f.bin.003", 9'518}},
                 3,
                 nullptr},
        SplitRow{"four_digits_past_999",
                 1'001,
                 1,
                 {{"f.bin.999", 1}, {"f.bin.1001", 1}},
                 1'001,
                 nullptr},
        SplitRow{"source_no_larger_than_a_piece",
                 100,
                 100,
                 {},
                 0,
                 "Il file ha dimensioni minori rispetto alle dimensioni scelte per dividere il "
                 "file!\r\nModificare le impostazioni e riprovare."},
        SplitRow{"more_pieces_than_names",
                 10'000,
                 1,
                 {},
                 0,
                 "Il file verrebbe diviso in più di 9999 files!\r\nScegliere una dimensione "
                 "maggiore e riprovare."}));

struct CheckRow {
    const char* why;
    std::vector<Piece> pieces;
    std::vector<SetProblemKind> problems;
};

class PlainCheckTest : public testing::TestWithParam<CheckRow> {};

TEST_P(PlainCheckTest, ListsEveryProblemOfAPlainSet) {
    const CheckRow& row = GetParam();
    test::TempDir dir;
    std::int64_t total = 0;
    for (const Piece& piece : row.pieces) {
        WriteFile(dir / piece.name, PatternBytes(piece.size));
        total += static_cast<std::int64_t>(piece.size);
    }
    const SetCheckReport report = CheckPieceSet(dir / "f.bin.001");
    std::vector<SetProblemKind> kinds;
    for (const SetProblem& problem : report.problems) {
        kinds.push_back(problem.kind);
    }
    EXPECT_EQ(kinds, row.problems);
    EXPECT_EQ(report.rebuiltPath, dir / "f.bin");
    EXPECT_EQ(report.rebuiltSize, total);
}

INSTANTIATE_TEST_SUITE_P(
    Sets, PlainCheckTest,
    testing::Values(CheckRow{"complete", {{"f.bin.001", 50}, {"f.bin.002", 20}}, {}},
                    CheckRow{
                        "gap_and_short_middle",
                        {{"f.bin.001", 50}, {"f.bin.002", 20}, {"f.bin.004", 50}, {"f.bin.005", 9}},
                        {SetProblemKind::WrongLength, SetProblemKind::Missing}}));

}  // namespace
}  // namespace zirared
