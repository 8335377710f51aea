#include "split_file.h"

#include <gtest/gtest.h>
#ifndef _WIN32
#include <sys/mount.h>
#include <sys/resource.h>
#include <unistd.h>
#endif

#include <algorithm>
#include <csignal>
#include <filesystem>
#include <functional>

#include "piece_bytes.h"
#include "scripted_host.h"
#ifndef _WIN32
#include "small_tmpfs.h"
#endif
#include "test_files.h"
#include "windows1252.h"

namespace zirared {
namespace {

using test::CallKind;
using test::Digits;
using test::FileSize;
using test::PatternBytes;
using test::PieceHeader;
using test::Placed;
using test::ReadFile;
using test::WriteFile;

constexpr std::int32_t kSmallKB = 20;  // M = 20,480: two blocks per piece
constexpr long long kSmallM = kSmallKB * 1024LL;

std::string Confirmation(int count, const std::string& directory) {
    return "question|Il file selezionato verrà diviso in " + std::to_string(count) +
           " files.\r\n\r\nI files verranno scritti in: " + directory +
           "\r\n\r\nConfermi l'operazione?";
}

// The data of pieces stem000 .. stem(count-1), joined, after checking every header.
std::string JoinPieces(const std::string& stem, int count, const std::string& suffix) {
    std::string data;
    for (int k = 0; k < count; ++k) {
        const std::string piece = ReadFile(stem + Digits(k));
        EXPECT_EQ(piece.substr(0, 16), PieceHeader(k, count, suffix)) << "piece " << k;
        data += piece.substr(16);
    }
    return data;
}

class SplitFileTest : public testing::Test {
protected:
    Outcome Split(const std::string& name, std::int32_t filesizeKB) {
        return SplitFile(m_host, m_dir / name, filesizeKB);
    }
    std::string Source(const std::string& name, std::size_t size) {
        m_source = PatternBytes(size);
        WriteFile(m_dir / name, m_source);
        return m_dir / name;
    }

    test::TempDir m_dir;
    test::ScriptedHost m_host;
    std::string m_source;
};

TEST_F(SplitFileTest, WorkedExampleWithRealFloppySize) {
    const std::string path = Source("report.doc", 3'000'000);
    m_host.QueueAnswer(Answer::Yes);
    EXPECT_EQ(Split("report.doc", 1400), Outcome::Completed);

    EXPECT_EQ(FileSize(m_dir / "report.000"), 1'433'616);
    EXPECT_EQ(FileSize(m_dir / "report.001"), 1'433'616);
    EXPECT_EQ(FileSize(m_dir / "report.002"), 132'816);
    EXPECT_FALSE(test::PathExists(m_dir / "report.003"));
    EXPECT_EQ(JoinPieces(m_dir / "report.", 3, "doc"), m_source);
    EXPECT_EQ(ReadFile(path), m_source) << "the source is never modified";

    const std::vector<std::string> expected = {
        Confirmation(3, m_dir.Path() + "/"),
        "busy|1",
        "bar|create",
        "clear-stop",
        "split-status|File n° 1  di  3  in scrittura",
        "split-status|File n° 2  di  3  in scrittura",
        "split-status|File n° 3  di  3  in scrittura",
        "split-status|Terminato: sono stati creati n° 3 files",
        "information|Il file: " + path + "\r\né stato diviso in 3 files.",
        "bar|remove",
        "busy|0"};
    EXPECT_EQ(m_host.Outline(), expected);
    const int blocks = (3'000'000 + 10'239) / 10'240;
    EXPECT_EQ(m_host.CountOf(CallKind::EventPass), blocks);
    EXPECT_EQ(m_host.CountOf(CallKind::SplitStatus), blocks + 1) << "the status once per block";
    EXPECT_EQ(m_host.ProgressValues().back(), 100);
}

struct BoundaryRow {
    const char* why;
    std::int32_t filesizeKB;
    long long length;
    std::vector<long long> pieceSizes;
};

class SplitBoundaryTest : public SplitFileTest, public testing::WithParamInterface<BoundaryRow> {};

TEST_P(SplitBoundaryTest, PiecesCarryTheSourceExactly) {
    const BoundaryRow& row = GetParam();
    Source("data.bin", static_cast<std::size_t>(row.length));
    m_host.QueueAnswer(Answer::Yes);
    ASSERT_EQ(Split("data.bin", row.filesizeKB), Outcome::Completed);
    const int count = static_cast<int>(row.pieceSizes.size());
    for (int k = 0; k <= count; ++k) {
        const std::string name = "data." + Digits(k);
        EXPECT_EQ(FileSize(m_dir / name), k < count ? row.pieceSizes[k] : -1) << name;
    }
    EXPECT_EQ(JoinPieces(m_dir / "data.", count, "bin"), m_source);
    EXPECT_EQ(m_host.Outline().back(), "busy|0");
    EXPECT_EQ(m_host.Calls()[m_host.Calls().size() - 3].text,
              "Il file: " + (m_dir / "data.bin") + "\r\né stato diviso in " +
                  std::to_string(count) + " files.");
}

INSTANTIATE_TEST_SUITE_P(
    Rows, SplitBoundaryTest,
    testing::Values(
        BoundaryRow{"one_byte_more_than_a_piece", kSmallKB, kSmallM + 1, {kSmallM + 16, 17}},
        BoundaryRow{"exact_multiple_ends_header_only",
                    kSmallKB,
                    2 * kSmallM,
                    {kSmallM + 16, kSmallM + 16, 16}},
        BoundaryRow{
            "just_under_two_pieces", kSmallKB, 2 * kSmallM - 10, {kSmallM + 16, kSmallM - 10 + 16}},
        BoundaryRow{"pieces_smaller_than_a_block", 3, 10'000, {3088, 3088, 3088, 800}}),
    [](const auto& info) { return std::string(info.param.why); });

struct RefusalRow {
    const char* why;
    std::string name;
    std::int32_t filesizeKB;
    long long length;
    std::string content;  // first bytes of the source
    std::string message;
};

class SplitRefusalTest : public SplitFileTest, public testing::WithParamInterface<RefusalRow> {};

TEST_P(SplitRefusalTest, RefusesBeforeWritingAnything) {
    const RefusalRow& row = GetParam();
#ifdef _WIN32
    const bool control =
        std::any_of(row.name.begin(), row.name.end(), [](char c) { return c >= 0 && c < ' '; });
    if (!DecodeUtf8(row.name) || control) {
        GTEST_SKIP() << "no such name on Windows: names are UTF-16, without controls";
    }
#endif
    std::string bytes = PatternBytes(static_cast<std::size_t>(row.length));
    bytes.replace(0, row.content.size(), row.content);
    WriteFile(m_dir / row.name, bytes);
    const auto namesBefore = m_dir.Names();
    EXPECT_EQ(Split(row.name, row.filesizeKB), Outcome::Refused);
    std::string message = row.message;
    if (const auto at = message.find("%FILE%"); at != std::string::npos) {
        message.replace(at, 6, m_dir / row.name);
    }
    EXPECT_EQ(m_host.Outline(), (std::vector<std::string>{"warning|" + message}));
    EXPECT_EQ(m_dir.Names(), namesBefore);
    EXPECT_EQ(ReadFile(m_dir / row.name), bytes);
}

const std::string kRename = "\r\nRinominare il file e riprovare.";

INSTANTIATE_TEST_SUITE_P(
    Rows, SplitRefusalTest,
    testing::Values(
        RefusalRow{"exactly_one_piece", "a.doc", kSmallKB, kSmallM, "",
                   "Il file ha dimensioni minori rispetto alle dimensioni scelte per dividere il "
                   "file!\r\nModificare le impostazioni e riprovare."},
        RefusalRow{"already_a_piece", "a.000", kSmallKB, kSmallM + 1, "VAVOVOZ000002doc",
                   "Il file è già stato diviso in precedenza!"},
        RefusalRow{"small_piece_gets_size_message_first", "a.000", kSmallKB, 100,
                   "VAVOVOZ000002doc",
                   "Il file ha dimensioni minori rispetto alle dimensioni scelte per dividere il "
                   "file!\r\nModificare le impostazioni e riprovare."},
        RefusalRow{"name_too_short_for_three_characters", "ab", kSmallKB, kSmallM + 1, "",
                   "Il file non può essere diviso: il nome del file deve avere almeno tre "
                   "caratteri." +
                       kRename},
        RefusalRow{"suffix_outside_windows_1252", "a.日本語", kSmallKB, kSmallM + 1, "",
                   "Il file non può essere diviso: gli ultimi tre caratteri del nome non possono "
                   "essere scritti nell'intestazione dei files." +
                       kRename},
        RefusalRow{"control_character_the_join_would_refuse", "a.a\x1B", kSmallKB, kSmallM + 1, "",
                   "Il file non può essere diviso: gli ultimi tre caratteri del nome non possono "
                   "essere scritti nell'intestazione dei files." +
                       kRename},
        RefusalRow{"name_not_utf8_at_its_end", "a.ab\xE8", kSmallKB, kSmallM + 1, "",
                   "Il file non può essere diviso: gli ultimi tre caratteri del nome non possono "
                   "essere scritti nell'intestazione dei files." +
                       kRename},
        RefusalRow{"more_than_999_pieces", "a.doc", 1, 999 * 1024, "",
                   "Il file %FILE% verrebbe diviso in più di 999 files!\r\nScegliere pezzi di "
                   "almeno 1 unità da 1400 KB (file di 1433616 byte) e riprovare."},
        RefusalRow{"source_named_like_first_piece", "movie.000", kSmallKB, kSmallM + 1, "",
                   "Il file non può essere diviso: uno dei file da creare avrebbe lo stesso nome "
                   "del file sorgente." +
                       kRename},
        RefusalRow{"source_named_like_later_piece", "data.001", kSmallKB, 3 * kSmallM, "",
                   "Il file non può essere diviso: uno dei file da creare avrebbe lo stesso nome "
                   "del file sorgente." +
                       kRename}),
    [](const auto& info) { return std::string(info.param.why); });

TEST_F(SplitFileTest, PieceNameLinkedToTheSourceIsRefused) {
    const std::string path = Source("report.doc", 3 * kSmallM);
    std::filesystem::create_hard_link(path, m_dir / "report.002");
    EXPECT_EQ(Split("report.doc", kSmallKB), Outcome::Refused);
    EXPECT_EQ(ReadFile(path), m_source);
    EXPECT_FALSE(test::PathExists(m_dir / "report.000"));
}

TEST_F(SplitFileTest, NinehundredNinetyNinePiecesStillFit) {
    Source("a.doc", 999 * 1024 - 1);
    m_host.QueueAnswer(Answer::Yes);
    ASSERT_EQ(Split("a.doc", 1), Outcome::Completed);
    EXPECT_EQ(ReadFile(m_dir / "a.998").substr(0, 16), "VAVOVOZ998999doc");
    EXPECT_EQ(FileSize(m_dir / "a.998"), 16 + 1023);
    EXPECT_EQ(m_dir.Names().size(), 1000U);
}

TEST_F(SplitFileTest, WindowsCharacterSuffixIsStoredInItsCodePage) {
    Source("però", kSmallM + 5);
    m_host.QueueAnswer(Answer::Yes);
    ASSERT_EQ(Split("però", kSmallKB), Outcome::Completed);
    EXPECT_EQ(ReadFile(m_dir / "p000").substr(0, 16), "VAVOVOZ000002er\xF2");
    EXPECT_EQ(ReadFile(m_dir / "p001").substr(0, 16), "VAVOVOZ001002er\xF2");
}

TEST_F(SplitFileTest, DeclinedConfirmationWritesNothing) {
    Source("a.doc", 3 * kSmallM);
    m_host.QueueAnswer(Answer::No);
    EXPECT_EQ(Split("a.doc", kSmallKB), Outcome::Declined);
    EXPECT_EQ(m_host.Outline(), (std::vector<std::string>{Confirmation(4, m_dir.Path() + "/")}));
    EXPECT_EQ(m_dir.Names(), (std::vector<std::string>{"a.doc"}));
}

TEST_F(SplitFileTest, StopDuringFirstBlockDeletesPieceZero) {
    Source("a.doc", 3 * kSmallM);
    m_host.QueueAnswer(Answer::Yes);
    m_host.RequestStopAtEventPass(1);
    EXPECT_EQ(Split("a.doc", kSmallKB), Outcome::Stopped);
    EXPECT_EQ(m_dir.Names(), (std::vector<std::string>{"a.doc"}));
    const std::vector<std::string> expected = {Confirmation(4, m_dir.Path() + "/"),
                                               "busy|1",
                                               "bar|create",
                                               "clear-stop",
                                               "split-status|File n° 1  di  4  in scrittura",
                                               "split-status|",
                                               "information|Operazione terminata volontariamente",
                                               "bar|remove",
                                               "busy|0"};
    EXPECT_EQ(m_host.Outline(), expected);
    EXPECT_EQ(m_host.CountOf(CallKind::EventPass), 1) << "stopped at the next block's check";
}

TEST_F(SplitFileTest, StopDuringLastEventPassDeletesOnlyTheNamedPieces) {
    Source("a.doc", 2 * kSmallM + 5);  // 5 blocks, 3 pieces
    WriteFile(m_dir / "a.007", "older, longer set");
    WriteFile(m_dir / "a.dat", "unrelated");
    m_host.QueueAnswer(Answer::Yes);
    m_host.RequestStopAtEventPass(5);
    EXPECT_EQ(Split("a.doc", kSmallKB), Outcome::Stopped);
    EXPECT_EQ(m_host.CountOf(CallKind::EventPass), 5) << "the last block was still copied";
    EXPECT_EQ(m_dir.Names(), (std::vector<std::string>{"a.007", "a.dat", "a.doc"}));
}

TEST_F(SplitFileTest, StopKeepsAPieceAnotherRunPutInItsPlace) {
    Source("a.doc", 2 * kSmallM + 5);  // 5 blocks, 3 pieces: a.000 is whole after block 2
    m_host.QueueAnswer(Answer::Yes);
    m_host.AtEventPass(4, [this] {
        WriteFile(m_dir / "other", "another run's a.000");
        std::filesystem::rename(m_dir / "other", m_dir / "a.000");
    });
    m_host.RequestStopAtEventPass(4);
    EXPECT_EQ(Split("a.doc", kSmallKB), Outcome::Stopped);
    EXPECT_EQ(m_dir.Names(), (std::vector<std::string>{"a.000", "a.doc"}));
    EXPECT_EQ(ReadFile(m_dir / "a.000"), "another run's a.000");
}

TEST_F(SplitFileTest, StaleStopFlagIsClearedBeforeTheCopy) {
    Source("a.doc", kSmallM + 1);
    m_host.SetStopFlag(true);
    m_host.QueueAnswer(Answer::Yes);
    EXPECT_EQ(Split("a.doc", kSmallKB), Outcome::Completed);
}

TEST_F(SplitFileTest, ExistingPieceNamesAreReplacedWithoutAsking) {
    Source("a.doc", kSmallM + 1);
    WriteFile(m_dir / "a.000", "VAVOVOZ000006doc" + PatternBytes(5 * kSmallM, 7));
    WriteFile(m_dir / "a.005", "beyond the new count");
    m_host.QueueAnswer(Answer::Yes);
    ASSERT_EQ(Split("a.doc", kSmallKB), Outcome::Completed);
    EXPECT_EQ(FileSize(m_dir / "a.000"), kSmallM + 16);
    EXPECT_EQ(ReadFile(m_dir / "a.005"), "beyond the new count");
}

struct ForeignFileRow {
    const char* why;
    std::function<void(const test::TempDir&)> prepare;
    Answer overwrite;
    Outcome outcome;
};

class ForeignFileTest : public SplitFileTest, public testing::WithParamInterface<ForeignFileRow> {};

// A file at a piece path that no split wrote is the user's: one question, naming it.
TEST_P(ForeignFileTest, AsksOnceAndNeverWritesThroughALink) {
    const ForeignFileRow& row = GetParam();
    Source("a.doc", 3 * kSmallM);
    WriteFile(m_dir / "notes.txt", "the user's notes");
    row.prepare(m_dir);
    const std::string standing = ReadFile(m_dir / "a.001");
    m_host.QueueAnswer(Answer::Yes);
    m_host.QueueAnswer(row.overwrite);
    EXPECT_EQ(Split("a.doc", kSmallKB), row.outcome);
    if (row.outcome == Outcome::Declined) {
        EXPECT_EQ(ReadFile(m_dir / "a.001"), standing);
        EXPECT_EQ(m_dir.Names(), (std::vector<std::string>{"a.001", "a.doc", "notes.txt"}));
    }
    const auto outline = m_host.Outline();
    ASSERT_GE(outline.size(), 2U);
    EXPECT_EQ(outline[1],
              "question|Il file " + (m_dir / "a.001") + " esiste già!\r\nSovrascrivere il file?");
    EXPECT_EQ(ReadFile(m_dir / "notes.txt"), "the user's notes") << "never written through";
    EXPECT_EQ(test::PathExists(m_dir / "a.000"), row.outcome == Outcome::Completed);
}

// Only this source's own pieces go unasked (ExistingPieceNamesAreReplacedWithoutAsking): a
// piece of another source's set (report.000 of report.doc, when report.xls is split) may be
// the only copy of that source.
INSTANTIATE_TEST_SUITE_P(
    Rows, ForeignFileTest,
    testing::Values(ForeignFileRow{"unrelated_file_kept_on_no",
                                   [](auto& d) { WriteFile(d / "a.001", "unrelated"); }, Answer::No,
                                   Outcome::Declined},
                    ForeignFileRow{"piece_of_another_sources_set_kept_on_no",
                                   [](auto& d) {
                                       WriteFile(d / "a.001",
                                                 "VAVOVOZ001003xls" + PatternBytes(99));
                                   },
                                   Answer::No, Outcome::Declined},
                    ForeignFileRow{"header_cut_short_kept_on_no",
                                   [](auto& d) { WriteFile(d / "a.001", "VAVOVOZ001003do"); },
                                   Answer::No, Outcome::Declined}),
    [](const auto& info) { return std::string(info.param.why); });

#ifndef _WIN32  // Wine cannot make symbolic links, Windows only with a privilege
INSTANTIATE_TEST_SUITE_P(Links, ForeignFileTest,
                         testing::Values(ForeignFileRow{"link_replaced_itself_on_yes",
                                                        [](auto& d) {
                                                            std::filesystem::create_symlink(
                                                                d / "notes.txt", d / "a.001");
                                                        },
                                                        Answer::Yes, Outcome::Completed}),
                         [](const auto& info) { return std::string(info.param.why); });
#endif

// Every file of the user's that the split would replace is named in a question of its own;
// the first No keeps them all.
TEST_F(SplitFileTest, EachForeignFileIsAskedAbout) {
    Source("a.doc", 3 * kSmallM);
    WriteFile(m_dir / "a.001", "first");
    WriteFile(m_dir / "a.002", "second");
    m_host.QueueAnswer(Answer::Yes);
    m_host.QueueAnswer(Answer::Yes);
    m_host.QueueAnswer(Answer::No);
    EXPECT_EQ(Split("a.doc", kSmallKB), Outcome::Declined);
    const auto outline = m_host.Outline();
    ASSERT_GE(outline.size(), 3U);
    EXPECT_EQ(outline[1],
              "question|Il file " + (m_dir / "a.001") + " esiste già!\r\nSovrascrivere il file?");
    EXPECT_EQ(outline[2],
              "question|Il file " + (m_dir / "a.002") + " esiste già!\r\nSovrascrivere il file?");
    EXPECT_EQ(ReadFile(m_dir / "a.001"), "first");
    EXPECT_EQ(ReadFile(m_dir / "a.002"), "second");
    EXPECT_EQ(m_dir.Names(), (std::vector<std::string>{"a.001", "a.002", "a.doc"}));
}

// A folder where the digest list goes is found before anything is written, even when a
// piece path already needs a question: otherwise the split would replace the user's file
// and then fail at its end.
TEST_F(SplitFileTest, FolderWhereTheListGoesIsRefusedBeforeAnythingIsWritten) {
    Source("a.doc", 3 * kSmallM);
    WriteFile(m_dir / "a.001", "the user's");
    std::filesystem::create_directory(m_dir / "a.doc.sha256");
    m_host.QueueAnswer(Answer::Yes);
    m_host.QueueAnswer(Answer::Yes);
    EXPECT_EQ(SplitFile(m_host, m_dir / "a.doc", kSmallKB, true), Outcome::Failed);
    EXPECT_EQ(m_host.CountOf(CallKind::Message), 1) << "only the failure, no question";
    EXPECT_EQ(ReadFile(m_dir / "a.001"), "the user's");
    EXPECT_EQ(m_dir.Names(), (std::vector<std::string>{"a.001", "a.doc", "a.doc.sha256"}));
}

struct FailureRow {
    const char* why;
    std::function<void(const test::TempDir&)> prepare;
    std::string source;
    std::int32_t filesizeKB;
    std::string message;
    std::vector<std::string> namesAfter;
};

class SplitFailureTest : public SplitFileTest, public testing::WithParamInterface<FailureRow> {};

TEST_P(SplitFailureTest, TrapReportsAndReturnsToIdle) {
    const FailureRow& row = GetParam();
    row.prepare(m_dir);
    m_host.QueueAnswer(Answer::Yes);
    EXPECT_EQ(SplitFile(m_host, m_dir / row.source, row.filesizeKB), Outcome::Failed);
    const auto outline = m_host.Outline();
    ASSERT_GE(outline.size(), 2U);
    EXPECT_EQ(outline.back(), "busy|0");
    const std::string message = Placed(row.message, m_dir.Path());
    const auto warning = std::find(outline.begin(), outline.end(), "warning|" + message);
    EXPECT_NE(warning, outline.end()) << message;
    EXPECT_FALSE(m_host.ProgressBarCreated());
    EXPECT_EQ(m_dir.Names(), row.namesAfter);
}

INSTANTIATE_TEST_SUITE_P(
    Rows, SplitFailureTest,
    testing::Values(FailureRow{"missing_source",
                               [](auto&) {},
                               "none.doc",
                               kSmallKB,
                               "Impossibile aprire il file {dir}/none.doc\r\nFile o cartella "
                               "inesistente.\r\nErrore n° 2",
                               {}},
                    FailureRow{"source_is_a_directory",
                               [](auto& d) { std::filesystem::create_directory(d / "dir.doc"); },
                               "dir.doc",
                               kSmallKB,
                               "Impossibile aprire il file {dir}/dir.doc\r\nÈ una cartella.\r\n" +
                                   test::DirectoryErrorLine(),
                               {"dir.doc"}},
                    FailureRow{"directory_where_a_piece_goes",
                               [](auto& d) {
                                   WriteFile(d / "a.doc", PatternBytes(3 * kSmallM));
                                   std::filesystem::create_directory(d / "a.001");
                               },
                               "a.doc",
                               kSmallKB,
                               "Impossibile creare il file {dir}/a.001\r\nÈ una cartella.\r\n" +
                                   test::DirectoryErrorLine(),
                               {"a.001", "a.doc"}},
                    FailureRow{"no_piece_size",
                               [](auto& d) { WriteFile(d / "a.doc", PatternBytes(100)); },
                               "a.doc",
                               0,
                               "Dimensione dei pezzi non valida.\r\nErrore n° 22",
                               {"a.doc"}}),
    [](const auto& info) { return std::string(info.param.why); });

struct LongNameRow {
    const char* why;
    std::size_t pathLength;  // of the source; 0: in the test's folder
    std::size_t nameLength;  // of the source's name, ".doc" included
    bool writeList;
    std::string named;  // the file the refusal names: "piece" 000 or "list"
};

class LongNameTest : public SplitFileTest, public testing::WithParamInterface<LongNameRow> {};

// Linux allows 255 bytes a name and 4,096 a path, NUL included; a temporary name is the
// name, a dot before it and 17 characters after it.
TEST_P(LongNameTest, RefusedBeforeTheQuestion) {
    const LongNameRow& row = GetParam();
    const std::string folder =
        row.pathLength == 0
            ? m_dir.Path()
            : test::FolderOfLength(m_dir.Path(), row.pathLength - row.nameLength - 1);
    const std::string name = std::string(row.nameLength - 4, 'n') + ".doc";
    const std::string source = folder + "/" + name;
    WriteFile(source, PatternBytes(3 * kSmallM));
    m_host.QueueAnswer(Answer::Yes);
    const std::string named =
        row.named == "list" ? source + ".sha256" : source.substr(0, source.size() - 3) + "000";
    EXPECT_EQ(SplitFile(m_host, source, kSmallKB, row.writeList), Outcome::Refused);
    EXPECT_EQ(m_host.Outline(),
              (std::vector<std::string>{"warning|Il file non può essere diviso: il nome del file " +
                                        named + " è troppo lungo per la cartella." + kRename}));
    EXPECT_EQ(test::TempDir::NamesIn(folder), std::vector<std::string>{name});
}

INSTANTIATE_TEST_SUITE_P(Rows, LongNameTest,
                         testing::Values(LongNameRow{"list_name_past_the_longest_name", 0, 251,
                                                     true, "list"}),
                         [](const auto& info) { return std::string(info.param.why); });

#ifndef _WIN32
INSTANTIATE_TEST_SUITE_P(Paths, LongNameTest,
                         testing::Values(LongNameRow{"piece_temporary_name_past_the_longest_path",
                                                     4090, 100, false, "piece"},
                                         LongNameRow{"list_temporary_name_past_the_longest_path",
                                                     4075, 100, true, "list"}),
                         [](const auto& info) { return std::string(info.param.why); });
#endif

struct LateStopRow {
    const char* why;
    bool end;  // an ending signal; else the Stop button
    std::function<bool(const test::TempDir&, const std::string& shown)> moment;
    Outcome outcome;      // Completed keeps everything; anything else, nothing but the source
    std::string message;  // among those shown; "{dir}" for the folder
};

class LateStopTest : public SplitFileTest, public testing::WithParamInterface<LateStopRow> {};

// The stop or the end arrives at a moment picked by what stands on disk or is shown then.
TEST_P(LateStopTest, HonouredUntilTheLastRename) {
    const LateStopRow& row = GetParam();
    Source("a.doc", 3 * kSmallM);
    m_host.QueueAnswer(Answer::Yes);
    m_host.SignalWhen([&](const std::string& shown) { return row.moment(m_dir, shown); }, row.end);
    EXPECT_EQ(SplitFile(m_host, m_dir / "a.doc", kSmallKB, true), row.outcome);
    const std::vector<std::string> kept = {"a.000", "a.001", "a.002",
                                           "a.003", "a.doc", "a.doc.sha256"};
    EXPECT_EQ(m_dir.Names(),
              row.outcome == Outcome::Completed ? kept : std::vector<std::string>{"a.doc"});
    const auto outline = m_host.Outline();
    EXPECT_NE(std::find(outline.begin(), outline.end(), Placed(row.message, m_dir.Path())),
              outline.end());
}

const auto kLastPieceStands = [](const test::TempDir& d, const std::string&) {
    return test::PathExists(d / "a.003");
};
const std::string kStopped = "information|Operazione terminata volontariamente";

INSTANTIATE_TEST_SUITE_P(
    Rows, LateStopTest,
    testing::Values(LateStopRow{"stop_while_the_list_is_hashed", false, kLastPieceStands,
                                Outcome::Stopped, kStopped},
                    LateStopRow{"end_while_the_list_is_hashed", true, kLastPieceStands,
                                Outcome::Stopped, kStopped},
                    LateStopRow{"end_once_the_list_stands", true,
                                [](const test::TempDir& d, const std::string&) {
                                    return test::PathExists(d / "a.doc.sha256");
                                },
                                Outcome::Completed,
                                "information|Il file: {dir}/a.doc\r\né stato diviso in 4 files."},
                    LateStopRow{"end_during_the_confirmation_answers_no", true,
                                [](const test::TempDir&, const std::string& shown) {
                                    return shown.starts_with("Il file selezionato");
                                },
                                Outcome::Declined, Confirmation(4, "{dir}/")}),
    [](const auto& info) { return std::string(info.param.why); });

// tmpfs mounts and rlimits: POSIX only. On Windows, the file layer's own suite checks the
// descriptions of the same causes.
#ifndef _WIN32
struct SmallFileSystemRow {
    const char* why;
    unsigned long flags;
    std::string message;
};

class SmallFileSystemTest : public SplitFileTest,
                            public testing::WithParamInterface<SmallFileSystemRow> {};

TEST_P(SmallFileSystemTest, SystemErrorIsDescribedInItalian) {
    const std::string mountPoint = m_dir / "fs";
    test::SmallTmpfs fileSystem(mountPoint, "200k");
    if (!fileSystem.Mounted()) {
        GTEST_SKIP() << "cannot mount here: " << fileSystem.Failure();
    }
    const std::string source = PatternBytes(150 * 1024);  // pieces need as much again
    WriteFile(mountPoint + "/a.doc", source);
    fileSystem.Remount(GetParam().flags);
    m_host.QueueAnswer(Answer::Yes);
    std::vector<std::string> namesWhileWarned;
    m_host.AtEveryMessage([&] { namesWhileWarned = test::TempDir::NamesIn(mountPoint); });
    const Outcome outcome = SplitFile(m_host, mountPoint + "/a.doc", kSmallKB);
    const bool sourceKept = ReadFile(mountPoint + "/a.doc") == source;
    const bool piecesRemoved =
        test::TempDir::NamesIn(mountPoint) == std::vector<std::string>{"a.doc"};
    fileSystem.Unmount();
    EXPECT_EQ(outcome, Outcome::Failed);
    EXPECT_TRUE(sourceKept);
    EXPECT_TRUE(piecesRemoved) << "a failed split takes back what it wrote";
    EXPECT_EQ(namesWhileWarned, std::vector<std::string>{"a.doc"})
        << "before the warning shows, not once it is dismissed";
    const auto outline = m_host.Outline();
    ASSERT_GE(outline.size(), 3u);
    EXPECT_TRUE(outline[outline.size() - 3].starts_with("warning|Impossibile "));
    EXPECT_TRUE(outline[outline.size() - 3].ends_with("\r\n" + GetParam().message));
    EXPECT_EQ(std::vector<std::string>(outline.end() - 2, outline.end()),
              (std::vector<std::string>{"bar|remove", "busy|0"}));
}

INSTANTIATE_TEST_SUITE_P(
    Rows, SmallFileSystemTest,
    testing::Values(SmallFileSystemRow{"disk_full", 0,
                                       "Spazio insufficiente sul disco.\r\nErrore n° 28"},
                    SmallFileSystemRow{"read_only", MS_RDONLY,
                                       "Il file system è di sola lettura.\r\nErrore n° 30"}),
    [](const auto& info) { return std::string(info.param.why); });

// Runs in a forked child: the file size limit makes write() fail with EFBIG even as root.
int SplitPastSizeLimit(test::ScriptedHost& host, const test::TempDir& dir) {
    std::signal(SIGXFSZ, SIG_IGN);
    const rlimit limit{10'000, 10'000};  // less than one piece
    ::setrlimit(RLIMIT_FSIZE, &limit);
    const Outcome outcome = SplitFile(host, dir / "a.doc", kSmallKB);
    const auto outline = host.Outline();
    const bool reported =
        outline.size() >= 3 &&
        outline[outline.size() - 3] == "warning|Impossibile scrivere il file " + (dir / "a.000") +
                                           "\r\nFile troppo grande.\r\nErrore n° 27" &&
        outline[outline.size() - 2] == "bar|remove" && outline.back() == "busy|0";
    const bool removed = dir.Names() == std::vector<std::string>{"a.doc"};
    return outcome == Outcome::Failed && reported && removed ? 0 : 1;
}

TEST_F(SplitFileTest, WriteFailureRemovesWhatItWrote) {
    Source("a.doc", 3 * kSmallM + 7);
    m_host.QueueAnswer(Answer::Yes);
    EXPECT_EXIT(std::_Exit(SplitPastSizeLimit(m_host, m_dir)), testing::ExitedWithCode(0), "");
}

#endif  // _WIN32

}  // namespace
}  // namespace zirared
