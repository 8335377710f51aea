#include "check_piece_set.h"

#include <gtest/gtest.h>
#ifndef _WIN32
#include <sys/stat.h>
#endif

#include <filesystem>
#include <functional>
#include <map>
#include <utility>

#include "assemble_file.h"
#include "piece_bytes.h"
#include "scripted_host.h"
#include "split_file.h"
#include "test_files.h"

namespace zirared {
namespace {

using test::Digits;
using test::PatternBytes;
using test::PieceHeader;
using test::ReadFile;
using test::WriteFile;

constexpr std::size_t kPieceData = 1'433'600;  // one size unit

using Findings = std::vector<std::pair<SetProblemKind, std::string>>;

Findings KindsAndPaths(const SetCheckReport& report) {
    Findings found;
    for (const auto& problem : report.problems) {
        found.emplace_back(problem.kind, problem.path);
    }
    return found;
}

class CheckPieceSetTest : public testing::Test {
protected:
    // report.000 .. as a split writes them, the last carrying lastData bytes.
    std::string MakeSet(int count, std::size_t lastData, const std::string& stem = "report.") {
        const std::string source =
            PatternBytes(kPieceData * static_cast<std::size_t>(count - 1) + lastData, 5);
        for (int k = 0; k < count; ++k) {
            WriteFile(Piece(k, stem),
                      PieceHeader(k, count) +
                          source.substr(kPieceData * static_cast<std::size_t>(k), kPieceData));
        }
        return source;
    }
    std::string Piece(int k, const std::string& stem = "report.") const {
        return m_dir / (stem + Digits(k));
    }
    // Every name in the folder with its bytes: the check must leave it as it was.
    std::map<std::string, std::string> Contents() const {
        std::map<std::string, std::string> contents;
        for (const auto& name : m_dir.Names()) {
            contents[name] = std::filesystem::is_regular_file(m_dir / name)
                                 ? ReadFile(m_dir / name)
                                 : std::string("<not a file>");
        }
        return contents;
    }

    test::TempDir m_dir;
};

TEST_F(CheckPieceSetTest, SplitSetIsConsistentAndTheAssemblyAgrees) {
    const std::string source = PatternBytes(3'000'000, 2);
    WriteFile(m_dir / "report.doc", source);
    test::ScriptedHost host;
    host.QueueAnswer(Answer::Yes);
    ASSERT_EQ(SplitFile(host, m_dir / "report.doc", 1400), Outcome::Completed);
    std::filesystem::remove(m_dir / "report.doc");
    const auto before = Contents();

    const SetCheckReport report = CheckPieceSet(Piece(0));
    EXPECT_TRUE(report.IsConsistent());
    EXPECT_TRUE(report.problems.empty());
    EXPECT_TRUE(report.notes.empty());
    EXPECT_EQ(report.pieceCount, 3);
    EXPECT_EQ(report.rebuiltPath, m_dir / "report.doc");
    EXPECT_EQ(report.rebuiltSize, 3'000'000);
    EXPECT_FALSE(report.rebuiltExists);
    EXPECT_EQ(CheckVerdictText(report), "La sequenza è completa e coerente.");
    EXPECT_EQ(Contents(), before) << "the check writes nothing";

    std::vector<std::string> pieceFiles;
    ASSERT_EQ(AssembleFile(host, Piece(0), pieceFiles), Outcome::Completed);
    EXPECT_EQ(ReadFile(report.rebuiltPath), source);
}

TEST_F(CheckPieceSetTest, ReportsEveryProblemOfTheSetAtOnce) {
    MakeSet(7, 40);
    std::filesystem::remove(Piece(1));
    WriteFile(Piece(2), PieceHeader(2, 9) + PatternBytes(kPieceData));  // a longer set's piece
    WriteFile(Piece(3), PieceHeader(3, 7, "txt") + PatternBytes(kPieceData));  // another source's
    WriteFile(Piece(4), PieceHeader(4, 7) + PatternBytes(kPieceData - 1));     // cut short
    WriteFile(Piece(5), ReadFile(Piece(6)));
    WriteFile(Piece(6), PatternBytes(30));  // not a piece at all
    WriteFile(m_dir / "report.doc", "an older rebuilt file");
    const auto before = Contents();

    const SetCheckReport report = CheckPieceSet(Piece(0));
    const Findings expected = {
        {SetProblemKind::Missing, Piece(1)},       {SetProblemKind::OtherSet, Piece(2)},
        {SetProblemKind::OtherSet, Piece(3)},      {SetProblemKind::WrongLength, Piece(4)},
        {SetProblemKind::OutOfSequence, Piece(5)}, {SetProblemKind::NotAPiece, Piece(6)}};
    EXPECT_EQ(KindsAndPaths(report), expected);
    EXPECT_FALSE(report.IsConsistent());
    for (const auto& problem : report.problems) {
        EXPECT_NE(problem.text.find(problem.path), std::string::npos)
            << "each text names its file: " << problem.text;
        EXPECT_EQ(problem.text.find('\n'), std::string::npos) << "one line each";
    }
    EXPECT_EQ(report.problems[1].text, "Il file '" + Piece(2) +
                                           "' appartiene a un'altra sequenza! (sequenza di 9 "
                                           "files invece di 7)");
    EXPECT_EQ(
        report.problems[3].text,
        "Il file '" + Piece(4) + "' è incompleto o danneggiato! (1433615 byte invece di 1433616)");
    EXPECT_EQ(report.problems[4].text,
              "Il file '" + Piece(5) + "' è fuori dalla sequenza! (indice 6 invece di 5)");
    EXPECT_EQ(report.problems[5].text,
              "Il file '" + Piece(6) +
                  "' non è un file splittato oppure è stata modificata l'estensione!");
    EXPECT_EQ(CheckVerdictText(report), "La sequenza non può essere riassemblata: 6 problemi.");
    SetCheckReport one;
    one.problems.push_back(report.problems[0]);
    EXPECT_EQ(CheckVerdictText(one), "La sequenza non può essere riassemblata: 1 problema.");
    EXPECT_TRUE(report.rebuiltExists);
    EXPECT_EQ(report.rebuiltSize, kPieceData * 4 - 1 + 40 + (30 - 16))
        << "the data of the pieces found, whatever their state";
    EXPECT_EQ(Contents(), before) << "the check writes nothing, even with an output in place";
}

TEST_F(CheckPieceSetTest, LeftoversOfALongerSetAreNotesOnly) {
    MakeSet(5, 100);
    MakeSet(3, 20);  // the new, shorter set over the old one's first names
    const SetCheckReport report = CheckPieceSet(Piece(0));
    EXPECT_TRUE(report.IsConsistent());
    ASSERT_EQ(report.notes.size(), 2U);
    EXPECT_EQ(report.notes[0].kind, SetNoteKind::LeftoverPiece);
    EXPECT_EQ(report.notes[0].path, Piece(3));
    EXPECT_EQ(report.notes[1].path, Piece(4));
    EXPECT_EQ(report.notes[0].text,
              "Il file '" + Piece(3) + "' è oltre la fine della sequenza e non verrà usato.");
    EXPECT_EQ(report.rebuiltSize, kPieceData * 2 + 20);
}

struct ChosenFileRow {
    const char* why;
    std::string name;
    std::string content;  // empty: no file
    SetProblemKind kind;
    std::string text;  // {path} stands for the chosen path
};

class ChosenFileTest : public CheckPieceSetTest,
                       public testing::WithParamInterface<ChosenFileRow> {};

TEST_P(ChosenFileTest, AChosenFileThatOpensNoSetEndsTheCheck) {
    const ChosenFileRow& row = GetParam();
    MakeSet(3, 10);
    if (!row.content.empty()) {
        WriteFile(m_dir / row.name, row.content);
    }
    const SetCheckReport report = CheckPieceSet(m_dir / row.name);
    std::string text = row.text;
    if (const auto at = text.find("{path}"); at != std::string::npos) {
        text.replace(at, 6, m_dir / row.name);
    }
    ASSERT_EQ(report.problems.size(), 1U);
    EXPECT_EQ(report.problems[0].kind, row.kind);
    EXPECT_EQ(report.problems[0].path, m_dir / row.name);
    EXPECT_EQ(report.problems[0].text, text);
    EXPECT_TRUE(report.notes.empty());
    EXPECT_TRUE(report.rebuiltPath.empty());
    EXPECT_EQ(report.pieceCount, 0);
}

const char* const kNotValid = "Questo non è un file valido!";

INSTANTIATE_TEST_SUITE_P(
    Rows, ChosenFileTest,
    testing::Values(
        ChosenFileRow{"missing", "none.000", "", SetProblemKind::Missing,
                      "Il file '{path}' non esiste!"},
        ChosenFileRow{"shorter_than_magic", "x.000", "VAVOV", SetProblemKind::NotValid, kNotValid},
        ChosenFileRow{"magic_case_differs", "x.000", "VAVOVOz000002doc", SetProblemKind::NotValid,
                      kNotValid},
        ChosenFileRow{"not_the_first_piece", "report.001", "", SetProblemKind::NotTheFirst,
                      "Questo non è il primo file della sequenza!"},
        ChosenFileRow{"count_000_is_no_set", "x.000", PieceHeader(0, 0), SetProblemKind::NotValid,
                      kNotValid},
        ChosenFileRow{"suffix_leads_out_of_the_folder", "x.000", PieceHeader(0, 2, "../"),
                      SetProblemKind::NotValid, kNotValid},
        ChosenFileRow{"suffix_with_nul", "x.000", PieceHeader(0, 2, std::string("d\0c", 3)),
                      SetProblemKind::NotValid, kNotValid},
        ChosenFileRow{"name_too_short_to_cut", "ab", PieceHeader(0, 2), SetProblemKind::NotValid,
                      kNotValid}),
    [](const auto& info) { return std::string(info.param.why); });

TEST_F(CheckPieceSetTest, ChosenFileNotNamed000ReadsPieceZeroByName) {
    const std::string source = MakeSet(2, 10);
    std::filesystem::copy_file(Piece(0), m_dir / "report.abc");
    const SetCheckReport report = CheckPieceSet(m_dir / "report.abc");
    EXPECT_TRUE(report.IsConsistent());
    EXPECT_EQ(report.rebuiltPath, m_dir / "report.doc");
    EXPECT_EQ(report.rebuiltSize, static_cast<std::int64_t>(source.size()));
}

TEST_F(CheckPieceSetTest, RebuiltFileThatWouldOverwriteAPieceIsAProblem) {
    for (int k = 0; k < 3; ++k) {
        WriteFile(Piece(k), PieceHeader(k, 3, "002") + PatternBytes(k < 2 ? kPieceData : 5));
    }
    const SetCheckReport report = CheckPieceSet(Piece(0));
    EXPECT_EQ(KindsAndPaths(report), (Findings{{SetProblemKind::RebuiltIsAPiece, Piece(2)}}));
    EXPECT_EQ(report.problems[0].text, "Impossibile riassemblare il file " + Piece(2) +
                                           ": il file da creare coincide con uno dei files da "
                                           "leggere.");
}

TEST_F(CheckPieceSetTest, RebuiltFileLinkedToAPieceIsAProblem) {
    MakeSet(3, 10);
    std::filesystem::create_hard_link(Piece(1), m_dir / "report.doc");
    const SetCheckReport report = CheckPieceSet(Piece(0));
    EXPECT_EQ(KindsAndPaths(report),
              (Findings{{SetProblemKind::RebuiltIsAPiece, m_dir / "report.doc"}}));
}

TEST_F(CheckPieceSetTest, WhatCannotBeReadIsAProblemAndNeverBlocks) {
    MakeSet(4, 10);
    std::filesystem::remove(Piece(1));
    std::filesystem::create_directory(Piece(1));
    std::filesystem::remove(Piece(2));
#ifdef _WIN32
    GTEST_SKIP() << "no FIFOs on Windows; devices are covered by the Windows file layer suite";
#else
    ASSERT_EQ(::mkfifo(Piece(2).c_str(), 0600), 0);  // opening it to read would wait forever
#endif
    const SetCheckReport report = CheckPieceSet(Piece(0));
    EXPECT_EQ(KindsAndPaths(report), (Findings{{SetProblemKind::Unreadable, Piece(1)},
                                               {SetProblemKind::Unreadable, Piece(2)}}));
    EXPECT_EQ(report.problems[0].text, "Impossibile leggere il file '" + Piece(1) +
                                           "': È una cartella. (" + test::DirectoryErrorLine() +
                                           ")");
}

struct OutputRow {
    const char* why;
    std::function<void(const std::string& output)> prepare;
    bool exists;
    bool noted;
};

class RebuiltPathTest : public CheckPieceSetTest, public testing::WithParamInterface<OutputRow> {};

TEST_P(RebuiltPathTest, SaysWhetherTheRebuiltFileIsThereAndReplaceable) {
    const OutputRow& row = GetParam();
    MakeSet(2, 10);
    row.prepare(m_dir / "report.doc");
    const SetCheckReport report = CheckPieceSet(Piece(0));
    EXPECT_TRUE(report.IsConsistent()) << "the set itself is sound";
    EXPECT_EQ(report.rebuiltExists, row.exists);
    ASSERT_EQ(report.notes.size(), row.noted ? 1U : 0U);
    if (row.noted) {
        EXPECT_EQ(report.notes[0].kind, SetNoteKind::RebuiltNotReplaceable);
        EXPECT_EQ(report.notes[0].path, m_dir / "report.doc");
    }
}

INSTANTIATE_TEST_SUITE_P(
    Rows, RebuiltPathTest,
    testing::Values(OutputRow{"absent", [](const std::string&) {}, false, false},
                    OutputRow{"replaceable_file", [](const std::string& p) { WriteFile(p, "old"); },
                              true, false},
                    OutputRow{"read_only_file_the_assembly_refuses",
                              [](const std::string& p) {
                                  WriteFile(p, "old");
                                  std::filesystem::permissions(p, std::filesystem::perms(0444));
                              },
                              true, true},
                    OutputRow{"folder_in_the_way",
                              [](const std::string& p) { std::filesystem::create_directory(p); },
                              true, true}),
    [](const auto& info) { return std::string(info.param.why); });

#ifndef _WIN32  // Wine cannot make symbolic links, Windows only with a privilege
INSTANTIATE_TEST_SUITE_P(
    Links, RebuiltPathTest,
    testing::Values(OutputRow{
        "link_that_leads_nowhere",
        [](const std::string& p) { std::filesystem::create_symlink(p + ".gone", p); }, true, true}),
    [](const auto& info) { return std::string(info.param.why); });
#endif

}  // namespace
}  // namespace zirared
