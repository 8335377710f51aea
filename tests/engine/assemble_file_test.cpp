#include "assemble_file.h"

#include <gtest/gtest.h>
#ifndef _WIN32
#include <sys/resource.h>
#include <sys/stat.h>
#endif

#include <algorithm>
#include <csignal>
#include <filesystem>
#include <functional>

#include "check_piece_set.h"
#include "file_error.h"
#include "file_streams.h"
#include "path_queries.h"
#include "piece_bytes.h"
#include "scripted_host.h"
#include "split_file.h"
#include "test_files.h"
#include "windows1252.h"

namespace zirared {
namespace {

using test::CallKind;
using test::Digits;
using test::PathExists;
using test::PatternBytes;
using test::PieceHeader;
using test::Placed;
using test::ReadFile;
using test::WriteFile;

constexpr std::size_t kPieceData =
    1'433'600;  // one size unit, what the window's smallest setting writes

class AssembleFileTest : public testing::Test {
protected:
    // Pieces stem000 .. as a correct split writes them; returns the source bytes.
    std::string MakeSet(const std::string& stemName, int count, std::size_t lastData,
                        const std::string& suffix = "doc") {
        const std::string source =
            PatternBytes(kPieceData * static_cast<std::size_t>(count - 1) + lastData, 3);
        for (int k = 0; k < count; ++k) {
            const std::size_t begin = kPieceData * static_cast<std::size_t>(k);
            WriteFile(m_dir / (stemName + Digits(k)),
                      PieceHeader(k, count, suffix) + source.substr(begin, kPieceData));
        }
        return source;
    }
    Outcome Assemble(const std::string& chosenName) {
        return AssembleFile(m_host, m_dir / chosenName, m_pieceFiles);
    }
    std::vector<std::string> PiecePaths(const std::string& stemName, int count) const {
        std::vector<std::string> paths;
        for (int k = 0; k < count; ++k) {
            paths.push_back(m_dir / (stemName + Digits(k)));
        }
        paths.emplace_back();  // the slot that is never filled
        return paths;
    }

    test::TempDir m_dir;
    test::ScriptedHost m_host;
    std::vector<std::string> m_pieceFiles{"earlier assembly"};
};

TEST_F(AssembleFileTest, RebuildsThreePiecesInOrder) {
    const std::string source = MakeSet("report.", 3, 1000);
    EXPECT_EQ(Assemble("report.000"), Outcome::Completed);
    EXPECT_EQ(ReadFile(m_dir / "report.doc"), source);
    const std::string output = m_dir / "report.doc";
    const std::vector<std::string> expected = {
        "busy|1",  // Stop shown while it copies
        "bar|create",
        "clear-stop",
        "enable|0",
        "assemble-status|Lettura del file  1   di  3   in corso...",
        "enable|0",
        "assemble-status|Lettura del file  2   di  3   in corso...",
        "enable|0",
        "assemble-status|Lettura del file  3   di  3   in corso...",
        "assemble-status|",
        "information|Il file " + output + "\r\nè stato riassemblato correttamente.",
        "bar|remove",
        "enable|1",
        "busy|0"};
    EXPECT_EQ(m_host.Outline(), expected);
    EXPECT_EQ(m_pieceFiles, PiecePaths("report.", 3));
    EXPECT_EQ(m_host.CountOf(CallKind::EventPass), 140 + 140 + 1) << "one pass per block";
    const auto values = m_host.ProgressValues();
    EXPECT_EQ(values.back(), 100) << "a full bar while the completion message is shown";
    EXPECT_TRUE(std::is_sorted(values.begin(), values.end()));
}

struct RoundTripRow {
    const char* why;
    std::string name;
    std::string firstPiece;
    std::int32_t filesizeKB;
    std::size_t length;
};

class RoundTripTest : public AssembleFileTest, public testing::WithParamInterface<RoundTripRow> {};

TEST_P(RoundTripTest, SplitThenAssembleGivesTheSourceBack) {
    const RoundTripRow& row = GetParam();
    const std::string source = PatternBytes(row.length, 9);
    WriteFile(m_dir / row.name, source);
    m_host.QueueAnswer(Answer::Yes);
    ASSERT_EQ(SplitFile(m_host, m_dir / row.name, row.filesizeKB), Outcome::Completed);
    std::filesystem::remove(std::u8string(
        reinterpret_cast<const char8_t*>((m_dir / row.name).c_str())));  // a UTF-8 name
    ASSERT_EQ(Assemble(row.firstPiece), Outcome::Completed);
    EXPECT_EQ(ReadFile(m_dir / row.name), source) << "rebuilt under the source's own name";
}

INSTANTIATE_TEST_SUITE_P(
    Rows, RoundTripTest,
    testing::Values(
        RoundTripRow{"worked_example_real_size", "report.doc", "report.000", 1400, 3'000'000},
        RoundTripRow{"four_letter_extension", "mare.jpeg", "mare.j000", 1400, 1'500'000},
        RoundTripRow{"no_dot", "LEGGIMI", "LEGG000", 1400, 1'500'000},
        RoundTripRow{"upper_case_extension", "REPORT.DOC", "REPORT.000", 1400, 1'500'000},
        RoundTripRow{"accented_last_character", "però", "p000", 1400, 1'500'000},
        RoundTripRow{"header_only_last_piece", "a.doc", "a.000", 1400, 2 * 1'433'600},
        RoundTripRow{"single_byte_last_piece", "a.doc", "a.000", 1400, 1'433'601},
        RoundTripRow{"two_units_per_piece", "a.doc", "a.000", 2800, 6'000'000}),
    [](const auto& info) { return std::string(info.param.why); });

TEST_F(AssembleFileTest, WindowsMadeSetRebuildsTheAccentedName) {
    const std::string source = MakeSet("p", 2, 10, "er\xF2");
    ASSERT_EQ(Assemble("p000"), Outcome::Completed);
    EXPECT_EQ(ReadFile(m_dir / "però"), source);
}

TEST_F(AssembleFileTest, ChosenFileNotEndingIn000ReadsPieceZeroByName) {
    const std::string source = MakeSet("report.", 2, 10);
    std::filesystem::copy_file(m_dir / "report.000", m_dir / "report.abc");
    ASSERT_EQ(Assemble("report.abc"), Outcome::Completed);
    EXPECT_EQ(ReadFile(m_dir / "report.doc"), source);
    EXPECT_EQ(m_pieceFiles[0], m_dir / "report.000");
}

struct RefusalRow {
    const char* why;
    std::string name;  // the chosen file
    std::string content;
    std::string message;  // {dir} stands for the directory
};

class AssembleRefusalTest : public AssembleFileTest,
                            public testing::WithParamInterface<RefusalRow> {};

TEST_P(AssembleRefusalTest, RefusesBeforeCreatingAnything) {
    const RefusalRow& row = GetParam();
    MakeSet("report.", 3, 10);
    if (!row.content.empty()) {
        WriteFile(m_dir / row.name, row.content);
    }
    const auto namesBefore = m_dir.Names();
    EXPECT_EQ(Assemble(row.name), Outcome::Refused);
    EXPECT_EQ(m_host.Outline(),
              (std::vector<std::string>{"warning|" + test::Placed(row.message, m_dir.Path())}));
    EXPECT_EQ(m_dir.Names(), namesBefore);
    EXPECT_EQ(m_pieceFiles, (std::vector<std::string>{"earlier assembly"}));
}

const char* const kNotValid = "Questo non è un file valido!";

INSTANTIATE_TEST_SUITE_P(
    Rows, AssembleRefusalTest,
    testing::Values(
        RefusalRow{"missing_chosen_file", "none.000", "", kNotValid},
        RefusalRow{"shorter_than_magic", "x.000", "VAVOV", kNotValid},
        RefusalRow{"magic_case_differs", "x.000", "vAVOVOZ000002doc", kNotValid},
        RefusalRow{"not_the_first_piece", "report.001", "",
                   "Questo non è il primo file della sequenza!"},
        RefusalRow{"count_000", "x.000", "VAVOVOZ000000doc", kNotValid},
        RefusalRow{"name_too_short_reaches_directory", "ab", "VAVOVOZ000002doc", kNotValid},
        RefusalRow{"suffix_with_slash", "x.000", "VAVOVOZ000002../", kNotValid},
        RefusalRow{"suffix_with_nul", "x.000", std::string("VAVOVOZ000002d\0c", 16), kNotValid},
        RefusalRow{"suffix_with_escape", "x.000", "VAVOVOZ000002d\x1B[", kNotValid},
        RefusalRow{"suffix_with_c1_control", "x.000",
                   "VAVOVOZ000002d\x9D"
                   "c",
                   kNotValid},
        RefusalRow{"output_would_be_a_piece", "report.000",
                   PieceHeader(0, 3, "002") + PatternBytes(kPieceData),
                   "Impossibile riassemblare il file {dir}/report.002\r\nIl file da creare "
                   "coincide con uno dei files da leggere."},
        RefusalRow{"output_would_be_the_chosen_file", "report.abc", PieceHeader(0, 3, "abc"),
                   "Impossibile riassemblare il file {dir}/report.abc\r\nIl file da creare "
                   "coincide con uno dei files da leggere."}),
    [](const auto& info) { return std::string(info.param.why); });

TEST_F(AssembleFileTest, OutputLinkedToAPieceIsRefused) {
    MakeSet("report.", 3, 10);
    std::filesystem::create_hard_link(m_dir / "report.002", m_dir / "report.doc");
    const std::string before = ReadFile(m_dir / "report.002");
    EXPECT_EQ(Assemble("report.000"), Outcome::Refused);
    EXPECT_EQ(ReadFile(m_dir / "report.002"), before);
}

TEST_F(AssembleFileTest, ExistingOutputAnsweredNoStaysUntouched) {
    MakeSet("report.", 2, 10);
    WriteFile(m_dir / "report.doc", "old");
    m_host.QueueAnswer(Answer::No);
    EXPECT_EQ(Assemble("report.000"), Outcome::Declined);
    EXPECT_EQ(m_host.Outline(),
              (std::vector<std::string>{"question|Il file " + (m_dir / "report.doc") +
                                        " esiste già!\r\nSovrascrivere il file?"}));
    EXPECT_EQ(ReadFile(m_dir / "report.doc"), "old");
}

TEST_F(AssembleFileTest, ExistingLongerOutputAnsweredYesIsReplacedWhole) {
    const std::string source = MakeSet("report.", 2, 10);
    WriteFile(m_dir / "report.doc", PatternBytes(10 * kPieceData, 5));
    m_host.QueueAnswer(Answer::Yes);
    EXPECT_EQ(Assemble("report.000"), Outcome::Completed);
    EXPECT_EQ(ReadFile(m_dir / "report.doc"), source);
}

TEST_F(AssembleFileTest, ReadOnlyOrHiddenOutputIsNotOverwritten) {
    for (const std::string stem : {"report.", ".report."}) {
        test::ScriptedHost host;
        MakeSet(stem, 2, 10);
        const std::string output = m_dir / (stem + "doc");
        WriteFile(output, "old");
        std::filesystem::permissions(output,
                                     std::filesystem::perms(stem == "report." ? 0444 : 0644));
        host.QueueAnswer(Answer::Yes);
        EXPECT_EQ(AssembleFile(host, m_dir / (stem + "000"), m_pieceFiles), Outcome::Refused);
        EXPECT_EQ(host.Outline().back(),
                  "warning|Impossibile sovrascrivere il file " + output +
                      "\r\nIl file potrebbe essere di sola lettura o di sistema.");
        EXPECT_EQ(ReadFile(output), "old");
        EXPECT_EQ(host.CountOf(CallKind::CreateBar), 0);
    }
}

struct BrokenSetRow {
    const char* why;
    std::function<void(const test::TempDir&)> breakSet;
    std::string message;  // {piece} stands for the path of report.001
    bool pieceStillMissing;
};

class BrokenSetTest : public AssembleFileTest, public testing::WithParamInterface<BrokenSetRow> {};

TEST_P(BrokenSetTest, StopsAtTheBadPieceAndSaysWhy) {
    const BrokenSetRow& row = GetParam();
    const std::string source = MakeSet("report.", 3, 1000);
    row.breakSet(m_dir);
    WriteFile(m_dir / "report.doc", "the user's own file");
    EXPECT_EQ(Assemble("report.000"), Outcome::Refused);
    std::string message = row.message;
    message.replace(message.find("{piece}"), 7, m_dir / "report.001");
    EXPECT_EQ(m_host.Outline(), std::vector<std::string>{"warning|" + message})
        << "judged before anything is asked, shown or written";
    EXPECT_EQ(ReadFile(m_dir / "report.doc"), "the user's own file");
    EXPECT_EQ(PathExists(m_dir / "report.001"), !row.pieceStillMissing);
    EXPECT_EQ(m_dir.Names().size(), row.pieceStillMissing ? 3U : 4U) << "nothing left behind";
}

const std::string kOutOfSequence = "Il file '{piece}' è fuori dalla sequenza!";
const std::string kDamaged = "Il file '{piece}' è incompleto o danneggiato!";

INSTANTIATE_TEST_SUITE_P(
    Rows, BrokenSetTest,
    testing::Values(
        BrokenSetRow{"missing_piece", [](auto& d) { std::filesystem::remove(d / "report.001"); },
                     "Errore\r\nIl file {piece}\r\nnon è un file splittato oppure è stata "
                     "modificata l'estensione!",
                     true},
        BrokenSetRow{"copy_of_the_next_piece",
                     [](auto& d) { WriteFile(d / "report.001", ReadFile(d / "report.002")); },
                     kOutOfSequence, false},
        BrokenSetRow{"piece_of_a_set_with_another_count",
                     [](auto& d) {
                         WriteFile(d / "report.001",
                                   PieceHeader(1, 4, "doc") + PatternBytes(kPieceData));
                     },
                     kOutOfSequence, false},
        BrokenSetRow{"piece_of_a_set_with_another_suffix",
                     [](auto& d) {
                         WriteFile(d / "report.001",
                                   PieceHeader(1, 3, "txt") + PatternBytes(kPieceData));
                     },
                     kOutOfSequence, false},
        BrokenSetRow{"middle_piece_cut_short",
                     [](auto& d) {
                         WriteFile(d / "report.001", PieceHeader(1, 3, "doc") + PatternBytes(100));
                     },
                     kDamaged, false},
        BrokenSetRow{"middle_piece_one_byte_short",
                     [](auto& d) {
                         WriteFile(d / "report.001",
                                   PieceHeader(1, 3, "doc") + PatternBytes(kPieceData - 1));
                     },
                     kDamaged, false},
        BrokenSetRow{
            "header_cut_short",
            [](auto& d) { WriteFile(d / "report.001", PieceHeader(1, 3, "doc").substr(0, 15)); },
            kDamaged, false}),
    [](const auto& info) { return std::string(info.param.why); });

struct LengthRow {
    const char* why;
    std::size_t pieceZeroData;
    std::size_t lastData;
    const char* damaged;  // the piece named in the warning
};

class PieceLengthTest : public AssembleFileTest, public testing::WithParamInterface<LengthRow> {};

// Only the lengths a split writes are rebuilt: anything else would give a wrong file.
TEST_P(PieceLengthTest, LengthsNoSplitWritesAreDamage) {
    const LengthRow& row = GetParam();
    WriteFile(m_dir / "report.000", PieceHeader(0, 2, "doc") + PatternBytes(row.pieceZeroData));
    WriteFile(m_dir / "report.001", PieceHeader(1, 2, "doc") + PatternBytes(row.lastData));
    EXPECT_EQ(Assemble("report.000"), Outcome::Refused);
    EXPECT_EQ(m_host.Outline(),
              std::vector<std::string>{"warning|Il file '" + (m_dir / row.damaged) +
                                       "' è incompleto o danneggiato!"});
    EXPECT_FALSE(PathExists(m_dir / "report.doc"));
}

INSTANTIATE_TEST_SUITE_P(
    Rows, PieceLengthTest,
    testing::Values(LengthRow{"last_piece_longer_than_the_first", kPieceData, kPieceData + 1,
                              "report.001"},
                    LengthRow{"last_piece_a_whole_piece", kPieceData, kPieceData, "report.001"},
                    LengthRow{"first_piece_lost_its_last_byte", kPieceData - 1, 10, "report.000"},
                    LengthRow{"first_piece_only_a_header", 0, 0, "report.000"}),
    [](const auto& info) { return std::string(info.param.why); });

struct DeleteRow {
    const char* why;
    Answer answer;
    std::vector<std::string> namesAfter;
};

class DeletePiecesTest : public AssembleFileTest, public testing::WithParamInterface<DeleteRow> {};

TEST_P(DeletePiecesTest, DeletesOnlyOnYes) {
    MakeSet("report.", 3, 10);
    m_host.SetDeleteChoice(true);
    m_host.QueueAnswer(GetParam().answer);
    EXPECT_EQ(Assemble("report.000"), Outcome::Completed);
    const auto outline = m_host.Outline();
    EXPECT_EQ(outline[outline.size() - 4],
              "question|Il file " + (m_dir / "report.doc") +
                  "\r\nè stato riassemblato correttamente.\r\n\r\nConfermi l'eliminazione dei 3 "
                  "files sorgenti?");
    EXPECT_EQ(m_dir.Names(), GetParam().namesAfter);
}

INSTANTIATE_TEST_SUITE_P(
    Rows, DeletePiecesTest,
    testing::Values(DeleteRow{"yes_deletes_the_pieces", Answer::Yes, {"report.doc"}},
                    DeleteRow{"no_keeps_them",
                              Answer::No,
                              {"report.000", "report.001", "report.002", "report.doc"}}),
    [](const auto& info) { return std::string(info.param.why); });

TEST_F(AssembleFileTest, FailingDeletionStopsAtThatPiece) {
    MakeSet("report.", 3, 10);
    // After the last piece is read, piece 001 becomes a directory that cannot be deleted.
    m_host.AtEventPass(140 + 140 + 1, [this] {
        std::filesystem::remove(m_dir / "report.001");
        std::filesystem::create_directory(m_dir / "report.001");
        WriteFile(m_dir / "report.001/keep", "x");
    });
    m_host.SetDeleteChoice(true);
    m_host.QueueAnswer(Answer::Yes);
    EXPECT_EQ(Assemble("report.000"), Outcome::Failed);
    const auto outline = m_host.Outline();
    const std::vector<std::string> ending(outline.end() - 4, outline.end());
    EXPECT_EQ(ending,
              (std::vector<std::string>{"error|Impossibile cancellare i files!\r\n" +
                                            std::to_string(kIsADirectoryNumber) +
                                            "  È una cartella.\r\n"
                                            "Il file " +
                                            (m_dir / "report.001") + " non è stato cancellato.",
                                        "bar|remove", "enable|1", "busy|0"}));
    EXPECT_EQ(m_dir.Names(), (std::vector<std::string>{"report.001", "report.002", "report.doc"}));
}

TEST(DeletePieceFilesTest, ListsWithoutPiecesDeleteNothing) {
    test::ScriptedHost host;
    EXPECT_TRUE(DeletePieceFiles(host, {}));
    EXPECT_TRUE(DeletePieceFiles(host, {"/never/filled"}));
    EXPECT_TRUE(host.Calls().empty());
}

TEST_F(AssembleFileTest, AStopFromBeforeTheCopyIsForgotten) {
    const std::string source = MakeSet("report.", 3, 10);
    m_host.SetStopFlag(true);  // a Stop that reached no operation
    EXPECT_EQ(Assemble("report.000"), Outcome::Completed);
    EXPECT_EQ(ReadFile(m_dir / "report.doc"), source);
}

struct ObstacleRow {
    const char* why;
    std::function<void(const test::TempDir&)> prepare;
    std::vector<std::string> outline;  // {dir} stands for the set's folder
};

class AssembleObstacleTest : public AssembleFileTest,
                             public testing::WithParamInterface<ObstacleRow> {};

TEST_P(AssembleObstacleTest, RefusesBeforeWritingAndNamesTheFile) {
    MakeSet("report.", 3, 10);
    GetParam().prepare(m_dir);
    const auto namesBefore = m_dir.Names();
    m_host.QueueAnswer(Answer::Yes);
    EXPECT_NE(Assemble("report.000"), Outcome::Completed);
    std::vector<std::string> expected = GetParam().outline;
    for (std::string& line : expected) {
        line = test::Placed(line, m_dir.Path());
    }
    EXPECT_EQ(m_host.Outline(), expected);
    EXPECT_EQ(m_dir.Names(), namesBefore);
}

INSTANTIATE_TEST_SUITE_P(
    Rows, AssembleObstacleTest,
    testing::Values(
        ObstacleRow{"directory_where_the_output_goes",
                    [](auto& d) { std::filesystem::create_directory(d / "report.doc"); },
                    {"question|Il file {dir}/report.doc esiste già!\r\nSovrascrivere il file?",
                     "warning|Impossibile sovrascrivere il file {dir}/report.doc\r\nIl file "
                     "potrebbe essere di sola lettura o di sistema."}},
        ObstacleRow{"directory_where_a_piece_is",
                    [](auto& d) {
                        std::filesystem::remove(d / "report.002");
                        std::filesystem::create_directory(d / "report.002");
                    },
                    {"warning|Impossibile aprire il file {dir}/report.002\r\nÈ una cartella.\r\n" +
                         test::DirectoryErrorLine(),
                     "enable|1"}},
        ObstacleRow{"unreadable_file_at_the_output_is_asked_about",
                    [](auto& d) {
                        WriteFile(d / "report.doc", "old");
                        std::filesystem::permissions(d / "report.doc",
                                                     std::filesystem::perms::none);
                    },
                    {"question|Il file {dir}/report.doc esiste già!\r\nSovrascrivere il file?",
                     "warning|Impossibile sovrascrivere il file {dir}/report.doc\r\nIl file "
                     "potrebbe essere di sola lettura o di sistema."}}),
    [](const auto& info) { return std::string(info.param.why); });

// FIFOs and symbolic links: POSIX only (Wine cannot make symbolic links, Windows only with a
// privilege).
#ifndef _WIN32
INSTANTIATE_TEST_SUITE_P(
    Posix, AssembleObstacleTest,
    testing::Values(ObstacleRow{"dangling_link_where_the_output_goes",
                                [](auto& d) {
                                    std::filesystem::create_symlink(d / "elsewhere.doc",
                                                                    d / "report.doc");
                                },
                                {"warning|Impossibile riassemblare il file {dir}/report.doc\r\nIl "
                                 "collegamento simbolico punta a un file inesistente."}},
                    ObstacleRow{
                        "fifo_where_a_piece_is",
                        [](auto& d) {
                            std::filesystem::remove(d / "report.001");
                            ::mkfifo((d / "report.001").c_str(), 0600);
                        },
                        {"warning|Impossibile aprire il file {dir}/report.001\r\nNon è un file "
                         "ordinario.\r\nErrore n° 22",
                         "enable|1"}}),
    [](const auto& info) { return std::string(info.param.why); });
#endif

constexpr std::size_t kLateLength = kPieceData + 5;  // two pieces

struct LateEndRow {
    const char* why;
    std::function<bool(const test::TempDir&, const std::string& shown)> moment;
    Outcome outcome;
    bool rebuilt;         // the old a.doc replaced by the rebuilt one
    std::string message;  // how one of the texts shown starts; "{dir}" for the folder
    bool end = true;      // false: the window's Stop instead of an ending signal
};

class LateEndTest : public AssembleFileTest, public testing::WithParamInterface<LateEndRow> {};

// An ending signal (or the window's Stop) arrives at a moment picked by what stands on disk or
// is shown then; the user ticked the deletion and answers Yes to every question.
TEST_P(LateEndTest, HonouredUntilTheRenameAndNothingDeletedAfter) {
    const LateEndRow& row = GetParam();
    const std::string source = PatternBytes(kLateLength, 4);
    WriteFile(m_dir / "a.doc", source);
    test::ScriptedHost splitter;
    splitter.QueueAnswer(Answer::Yes);
    ASSERT_EQ(SplitFile(splitter, m_dir / "a.doc", 1400, true), Outcome::Completed);
    WriteFile(m_dir / "a.doc", "the old a.doc");
    const auto namesBefore = m_dir.Names();
    m_host.SetDeleteChoice(true);
    m_host.QueueAnswer(Answer::Yes);
    m_host.QueueAnswer(Answer::Yes);
    m_host.SignalWhen([&](const std::string& shown) { return row.moment(m_dir, shown); }, row.end);
    EXPECT_EQ(Assemble("a.000"), row.outcome);
    EXPECT_EQ(m_dir.Names(), namesBefore) << "the pieces kept, nothing left behind";
    EXPECT_TRUE(ReadFile(m_dir / "a.doc") == (row.rebuilt ? source : "the old a.doc"));
    const auto outline = m_host.Outline();
    const std::string message = Placed(row.message, m_dir.Path());
    EXPECT_TRUE(std::any_of(outline.begin(), outline.end(), [&](const std::string& line) {
        return line.starts_with(message);
    })) << message;
}

const std::string kRebuilt = "Il file {dir}/a.doc\r\nè stato riassemblato correttamente.";
// The join's temporary file stands beside the pieces, whole.
bool RebuiltFileWritten(const test::TempDir& d, const std::string& /*shown*/) {
    const auto names = d.Names();
    return std::any_of(names.begin(), names.end(), [&](const std::string& n) {
        return n.find(".zirared-") != std::string::npos && test::FileSize(d / n) == kLateLength;
    });
}

INSTANTIATE_TEST_SUITE_P(
    Rows, LateEndTest,
    testing::Values(
        LateEndRow{"while_the_rebuilt_file_is_hashed", RebuiltFileWritten, Outcome::Stopped, false,
                   "information|Operazione terminata volontariamente"},
        LateEndRow{"stop_while_the_rebuilt_file_is_hashed", RebuiltFileWritten, Outcome::Stopped,
                   false, "information|Operazione terminata volontariamente", false},
        LateEndRow{"once_the_rebuilt_file_stands",
                   [](const test::TempDir& d, const std::string&) {
                       return test::FileSize(d / "a.doc") == kLateLength;
                   },
                   Outcome::Completed, true, "information|" + kRebuilt},
        LateEndRow{"during_the_overwrite_question",
                   [](const test::TempDir&, const std::string& shown) {
                       return shown.ends_with("Sovrascrivere il file?");
                   },
                   Outcome::Declined, false,
                   "question|Il file {dir}/a.doc esiste già!\r\nSovrascrivere il file?"},
        LateEndRow{"during_the_deletion_question",
                   [](const test::TempDir&, const std::string& shown) {
                       return shown.ends_with("files sorgenti?");
                   },
                   Outcome::Completed, true, "question|" + kRebuilt}),
    [](const auto& info) { return std::string(info.param.why); });

#ifndef _WIN32  // on Windows a name is never longer than its pieces' (UTF-16 units)
struct LongOutputRow {
    const char* why;
    std::size_t pathLength;  // of the pieces; 0: in the test's folder
    std::size_t stemLength;  // of the pieces' name, without its three digits
    std::string suffix;
};

class LongOutputTest : public AssembleFileTest,
                       public testing::WithParamInterface<LongOutputRow> {};

// Linux allows 255 bytes a name and 4,096 a path, NUL included; a temporary name is the
// name, a dot before it and 17 characters after it.
TEST_P(LongOutputTest, RefusedBeforeTheQuestion) {
    const LongOutputRow& row = GetParam();
    const std::string folder =
        row.pathLength == 0
            ? m_dir.Path()
            : test::FolderOfLength(m_dir.Path(), row.pathLength - row.stemLength - 4);
    const std::string stem =
        folder.substr(m_dir.Path().size()) + "/" + std::string(row.stemLength, 'n');
    MakeSet(stem.substr(1), 2, 10, row.suffix);
    const std::string output = m_dir.Path() + stem + DecodeWindows1252(row.suffix);
    if (row.pathLength != 0) {
        WriteFile(output, "the old one");
    }
    const auto namesBefore = test::TempDir::NamesIn(folder);
    EXPECT_EQ(Assemble(stem.substr(1) + "000"), Outcome::Refused);
    EXPECT_EQ(m_host.Outline(),
              (std::vector<std::string>{"warning|Impossibile riassemblare il file " + output +
                                        "\r\nIl nome del file è troppo lungo per la cartella."}));
    EXPECT_EQ(test::TempDir::NamesIn(folder), namesBefore);
}

INSTANTIATE_TEST_SUITE_P(
    Rows, LongOutputTest,
    testing::Values(LongOutputRow{"euro_signs_past_the_longest_name", 0, 251, "\x80\x80\x80"},
                    LongOutputRow{"temporary_name_past_the_longest_path", 4085, 100, "doc"}),
    [](const auto& info) { return std::string(info.param.why); });
#endif

#ifndef _WIN32  // rlimits: POSIX only
// Runs in a forked child: the file size limit makes write() fail with EFBIG even as root.
int AssemblePastSizeLimit(test::ScriptedHost& host, const std::string& chosen,
                          std::vector<std::string>& pieceFiles) {
    std::signal(SIGXFSZ, SIG_IGN);
    const rlimit limit{30'000, 30'000};  // less than the rebuilt file
    ::setrlimit(RLIMIT_FSIZE, &limit);
    const std::string folder = chosen.substr(0, chosen.rfind('/'));
    std::size_t namesWhileWarned = 0;
    host.AtEveryMessage([&] { namesWhileWarned = test::TempDir::NamesIn(folder).size(); });
    const Outcome outcome = AssembleFile(host, chosen, pieceFiles);
    const auto outline = host.Outline();
    const bool reported =
        outline.size() >= 4 &&
        outline[outline.size() - 4] == "warning|Impossibile scrivere il file " + folder +
                                           "/report.doc\r\nFile troppo grande.\r\nErrore n° 27";
    // The pieces alone, and already while the warning is up.
    const bool nothingLeft = test::TempDir::NamesIn(folder).size() == 3 && namesWhileWarned == 3;
    return outcome == Outcome::Failed && reported && nothingLeft ? 0 : 1;
}

TEST_F(AssembleFileTest, WriteFailureIsTrapped) {
    MakeSet("report.", 3, 10);
    EXPECT_EXIT(std::_Exit(AssemblePastSizeLimit(m_host, m_dir / "report.000", m_pieceFiles)),
                testing::ExitedWithCode(0), "");
}

#endif

}  // namespace
}  // namespace zirared

namespace zirared {
namespace {

TEST_F(AssembleFileTest, ReplacesWhatALinkNamesAndKeepsItsPermissions) {
#ifdef _WIN32
    GTEST_SKIP() << "symbolic links and permission bits: POSIX only";
#endif
    const std::string source = MakeSet("report.", 2, 10);
    std::filesystem::create_directory(m_dir / "real");
    WriteFile(m_dir / "real/report.doc", "older and longer than nothing");
    std::filesystem::permissions(m_dir / "real/report.doc", std::filesystem::perms(0640));
    std::filesystem::create_symlink(m_dir / "real/report.doc", m_dir / "report.doc");
    m_host.QueueAnswer(Answer::Yes);
    EXPECT_EQ(Assemble("report.000"), Outcome::Completed);
    EXPECT_TRUE(std::filesystem::is_symlink(m_dir / "report.doc")) << "the link stays a link";
    EXPECT_EQ(ReadFile(m_dir / "real/report.doc"), source);
    EXPECT_EQ(std::filesystem::status(m_dir / "real/report.doc").permissions(),
              std::filesystem::perms(0640));
    EXPECT_EQ(test::TempDir::NamesIn(m_dir / "real"), std::vector<std::string>{"report.doc"})
        << "no temporary file left";
}

// A second split or join that would touch what a running one holds (its source and the set's
// first piece for a split, the first piece and the output for a join), started from a second
// window or terminal, is refused at once naming its file; once the first ends, it may run.
struct SecondRunRow {
    const char* why;
    bool firstJoins;
    bool secondJoins;
};

class SecondRunTest : public AssembleFileTest, public testing::WithParamInterface<SecondRunRow> {
protected:
    std::string Chosen(bool join) { return m_dir / (join ? "report.000" : "report.doc"); }
    Outcome Run(test::ScriptedHost& host, bool join) {
        std::vector<std::string> pieces;
        host.QueueAnswer(Answer::Yes);  // the split's confirmation or the join's overwrite
        return join ? AssembleFile(host, Chosen(true), pieces)
                    : SplitFile(host, Chosen(false), 1400);
    }
};

TEST_P(SecondRunTest, IsRefusedAtOnceNamingItsFile) {
    const SecondRunRow& row = GetParam();
    const std::string bytes = MakeSet("report.", 2, 10);
    WriteFile(m_dir / "report.doc", bytes);
    test::ScriptedHost second;
    std::optional<Outcome> secondOutcome;
    m_host.AtEventPass(1, [&] { secondOutcome = Run(second, row.secondJoins); });
    EXPECT_EQ(Run(m_host, row.firstJoins), Outcome::Completed);
    EXPECT_EQ(secondOutcome, Outcome::Refused);
    EXPECT_EQ(second.Outline(),
              std::vector<std::string>{"warning|Il file " + Chosen(row.secondJoins) +
                                       " è già in uso da un'altra operazione di Zirared."});
    EXPECT_EQ(ReadFile(m_dir / "report.doc"), bytes);
    EXPECT_EQ(Run(second, row.secondJoins), Outcome::Completed)
        << "the lock went with the first run";
}

const SecondRunRow kSecondRunRows[] = {
    {"split_while_it_splits", false, false},
    {"join_while_it_joins", true, true},
#ifndef _WIN32  // there a file the other operation replaces is not locked
    {"split_of_a_joins_output", true, false},
    {"join_of_a_splits_set", false, true},
#endif
};

INSTANTIATE_TEST_SUITE_P(Rows, SecondRunTest, testing::ValuesIn(kSecondRunRows),
                         [](const auto& info) { return std::string(info.param.why); });

#ifndef _WIN32
// What a split or join writes is as private as its input (the file a join replaces, else its
// first piece) from its birth as a temporary file, whatever the umask, never setuid; for root,
// a replaced file keeps its owner.
struct ModeRow {
    const char* why;
    bool join;
    mode_t input;
    mode_t umask;
    std::optional<mode_t> replaced;
    mode_t written;
};

class ModeTest : public AssembleFileTest, public testing::WithParamInterface<ModeRow> {};

mode_t ModeOf(const std::string& path) {
    struct stat status {};
    return ::stat(path.c_str(), &status) == 0 ? status.st_mode & 07777 : 0;
}

TEST_P(ModeTest, WrittenFilesAreBornWithTheInputsRwxBits) {
    const ModeRow& row = GetParam();
    const std::string output = m_dir / "report.doc";
    std::vector<std::string> inputs{"report.000", "report.001"};
    if (row.join) {
        MakeSet("report.", 2, 10);
    } else {
        inputs = {"report.doc"};
        WriteFile(output, PatternBytes(kPieceData + 10));
    }
    for (const std::string& input : inputs) {
        ASSERT_EQ(::chmod((m_dir / input).c_str(), row.input), 0);
    }
    const bool root = ::geteuid() == 0;
    if (row.replaced) {
        WriteFile(output, "older");
        if (root) {
            ASSERT_EQ(::chown(output.c_str(), 4321, 4322), 0);
        }
        ASSERT_EQ(::chmod(output.c_str(), *row.replaced), 0);
    }
    m_host.QueueAnswer(Answer::Yes);
    std::vector<mode_t> whileWritten;
    m_host.AtEventPass(1, [&] {
        for (const std::string& name : m_dir.Names()) {
            if (name.find(".zirared-") != std::string::npos) {
                whileWritten.push_back(ModeOf(m_dir / name));
            }
        }
    });
    const mode_t umaskBefore = ::umask(row.umask);
    const Outcome outcome =
        row.join ? Assemble("report.000") : SplitFile(m_host, output, 1400, true);
    ::umask(umaskBefore);
    ASSERT_EQ(outcome, Outcome::Completed);
    EXPECT_EQ(whileWritten, std::vector<mode_t>{row.written});
    const auto names = m_dir.Names();
    EXPECT_EQ(names.size(), row.join ? 3u : 4u) << "the output, or two pieces and the list";
    for (const std::string& name : names) {
        const bool input = std::find(inputs.begin(), inputs.end(), name) != inputs.end();
        EXPECT_EQ(ModeOf(m_dir / name), input ? row.input : row.written) << name;
    }
    struct stat status {};
    ASSERT_EQ(::stat(output.c_str(), &status), 0);
    if (root && row.replaced) {
        EXPECT_EQ(std::pair(status.st_uid, status.st_gid), std::pair(4321u, 4322u));
    }
}

INSTANTIATE_TEST_SUITE_P(
    Rows, ModeTest,
    testing::Values(
        ModeRow{"split_private_source", false, 0600, 022, std::nullopt, 0600},
        ModeRow{"split_source_wider_than_the_umask", false, 0664, 077, std::nullopt, 0664},
        ModeRow{"split_setuid_setgid_sticky_dropped", false, 07755, 022, std::nullopt, 0755},
        ModeRow{"join_private_file_replaced", true, 0644, 022, 0600, 0600},
        ModeRow{"join_setuid_file_replaced", true, 0644, 022, 04755, 0755},
        ModeRow{"join_new_file_from_the_first_piece", true, 0640, 077, std::nullopt, 0640}),
    [](const auto& info) { return std::string(info.param.why); });
#endif

// A temporary file whose writer died goes with the next join of its target; one whose writer
// runs (this test holds it open) stays, as does one of another target. The check names both.
TEST_F(AssembleFileTest, AbandonedTemporaryFilesGoThoseInUseStay) {
    MakeSet("report.", 2, 10);
    const std::string abandoned = m_dir / ".report.doc.zirared-dead0001";
    WriteFile(abandoned, "a killed join's partial output");
    WriteFile(m_dir / ".other.doc.zirared-dead0002", "another file's");
    OutputFile running;
    running.CreateFor(m_dir / "report.doc");
    std::vector<std::string> before = m_dir.Names();
    const auto inUse = std::find_if(before.begin(), before.end(), [](const std::string& name) {
        return name.starts_with(".report.doc.zirared-") && !name.ends_with("dead0001");
    });
    ASSERT_NE(inUse, before.end());
    const std::string inUsePath = m_dir / *inUse;

    std::vector<std::string> notes;
    for (const SetNote& note : CheckPieceSet(m_dir / "report.000").notes) {
        notes.push_back(note.text);
    }
    std::vector<std::string> expected{
        "Il file " + abandoned +
            " è il file temporaneo di un'operazione interrotta: la prossima operazione sugli "
            "stessi files lo cancellerà.",
        "Il file " + inUsePath + " è il file temporaneo di un'operazione di Zirared in corso."};
    std::sort(notes.begin(), notes.end());
    std::sort(expected.begin(), expected.end());
    EXPECT_EQ(notes, expected);

    EXPECT_EQ(Assemble("report.000"), Outcome::Completed);
    before.erase(std::find(before.begin(), before.end(), ".report.doc.zirared-dead0001"));
    before.push_back("report.doc");
    std::sort(before.begin(), before.end());
    EXPECT_EQ(m_dir.Names(), before);
}

}  // namespace
}  // namespace zirared
