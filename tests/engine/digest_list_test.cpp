// The digest list end to end: the split writes it, sha256sum accepts it, and the join and
// the check catch a single changed byte anywhere in a set, naming the piece.

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "assemble_file.h"
#include "check_piece_set.h"
#include "scripted_host.h"
#include "set_digests.h"
#include "sha256_list.h"
#include "split_file.h"
#include "test_files.h"

namespace zirared {
namespace {

using test::ReadFile;
using test::TempDir;
using test::WriteFile;

constexpr std::int32_t kPieceKB = 1400;  // one size unit: the smallest the join accepts
constexpr std::size_t kLastData = 1000;
constexpr std::size_t kSourceBytes = 2 * 1'433'600 + kLastData;  // three pieces

bool AnyMessageHas(const test::ScriptedHost& host, MessageKind kind, const std::string& part) {
    for (const test::HostCall& call : host.Calls()) {
        if (call.kind == test::CallKind::Message && call.messageKind == kind &&
            call.text.find(part) != std::string::npos) {
            return true;
        }
    }
    return false;
}

// A folder with report.doc split into three pieces and a list; one per test row.
struct ListedSet {
    // Splits report.doc with a list and removes the source, as after sending the set.
    void SplitWithList() {
        source = test::PatternBytes(kSourceBytes, 5);
        WriteFile(Source(), source);
        test::ScriptedHost splitHost;
        splitHost.QueueAnswer(Answer::Yes);
        ASSERT_EQ(SplitFile(splitHost, Source(), kPieceKB, true), Outcome::Completed);
        std::remove(Source().c_str());
    }
    Outcome Join(ListUse use) {
        std::vector<std::string> pieceFiles;
        return AssembleFile(host, dir / "report.000", pieceFiles, use);
    }
    SetCheckReport Check() const { return CheckPieceSet(dir / "report.000"); }
    void ChangeByte(const std::string& name, std::size_t offset, char value) const {
        std::string bytes = ReadFile(dir / name);
        bytes.at(offset) = value;
        WriteFile(dir / name, bytes);
    }
    std::string Source() const { return dir / "report.doc"; }
    std::string List() const { return dir / "report.doc.sha256"; }

    TempDir dir;
    test::ScriptedHost host;
    std::string source;
};

const std::vector<std::string> kSetNames = {"report.000", "report.001", "report.002",
                                            "report.doc.sha256"};

TEST(DigestList, SplitWritesAListSha256sumAcceptsAndTheJoinVerifies) {
#ifdef _WIN32
    GTEST_SKIP() << "sha256sum and a POSIX shell are the Linux build's reference";
#endif
    ListedSet set;
    set.SplitWithList();
    EXPECT_EQ(set.dir.Names(), kSetNames);
    const ParsedList list = ReadListFile(set.List());
    ASSERT_FALSE(list.error);
    ASSERT_EQ(list.lines.size(), 4U);
    EXPECT_EQ(list.lines.back().name, "report.doc") << "pieces first, then the source";
    const std::string check = "cd '" + set.dir.Path() +
                              "' && sha256sum --check --strict --quiet report.doc.sha256 "
                              ">/dev/null 2>&1";
    EXPECT_NE(std::system(check.c_str()), 0) << "the source is gone: its line must fail";
    WriteFile(set.Source(), set.source);
    EXPECT_EQ(std::system(check.c_str()), 0);
    std::remove(set.Source().c_str());

    EXPECT_EQ(set.Join(ListUse::Required), Outcome::Completed);
    EXPECT_EQ(ReadFile(set.Source()), set.source);
    EXPECT_TRUE(AnyMessageHas(set.host, MessageKind::Information, VerifiedText(set.List())));
    const SetCheckReport report = set.Check();
    EXPECT_TRUE(report.IsConsistent());
    EXPECT_EQ(report.listPath, set.List());
    EXPECT_EQ(report.verifiedPieces, 3);
}

struct AlteredRow {
    const char* why;
    std::string piece;
    std::size_t offset;
    char value;
};

TEST(DigestList, OneChangedByteInAnyPieceStopsTheJoinAndIsNamedByTheCheck) {
    const AlteredRow rows[] = {
        {"first data byte of the first piece", "report.000", 16, '#'},
        {"middle of a middle piece", "report.001", 2000, '#'},
        {"last byte of the last piece", "report.002", 16 + kLastData - 1, '#'},
        {"a header digit turned into a blank that reads the same", "report.001", 7, ' '},
    };
    for (const AlteredRow& row : rows) {
        SCOPED_TRACE(row.why);
        ListedSet set;
        set.SplitWithList();
        set.ChangeByte(row.piece, row.offset, row.value);
        std::vector<std::string> namesWhileWarned;
        set.host.AtEveryMessage([&] { namesWhileWarned = set.dir.Names(); });

        EXPECT_EQ(set.Join(ListUse::Required), Outcome::Failed);
        EXPECT_TRUE(AnyMessageHas(set.host, MessageKind::Warning,
                                  AlteredPieceText(set.dir / row.piece, set.List())));
        EXPECT_EQ(set.dir.Names(), kSetNames) << "nothing kept, no temporary file left";
        EXPECT_EQ(namesWhileWarned, kSetNames) << "nor one waiting on the user's answer";
        set.host.AtEveryMessage({});

        WriteFile(set.Source(), "an older file");
        set.host.QueueAnswer(Answer::Yes);  // replace it
        EXPECT_EQ(set.Join(ListUse::Required), Outcome::Failed);
        EXPECT_EQ(ReadFile(set.Source()), "an older file") << "a file standing there stays";
        std::remove(set.Source().c_str());

        const SetCheckReport report = set.Check();
        ASSERT_EQ(report.problems.size(), 1U);
        EXPECT_EQ(report.problems[0].kind, SetProblemKind::Altered);
        EXPECT_EQ(report.problems[0].path, set.dir / row.piece);
        EXPECT_EQ(report.verifiedPieces, 2);
    }
}

struct UnusableRow {
    const char* why;
    ListUse use;
    std::vector<Answer> answers;
    Outcome outcome;
};

TEST(DigestList, AnUnusableListStopsTheJoinOrIsSetAsideWhenTheUserSaysSo) {
    const UnusableRow rows[] = {
        {"the terminal tool refuses", ListUse::Required, {}, Outcome::Refused},
        {"the window asks, the user declines",
         ListUse::AskWhenUnusable,
         {Answer::No},
         Outcome::Declined},
        {"the window asks, the user goes on",
         ListUse::AskWhenUnusable,
         {Answer::Yes},
         Outcome::Completed},
        {"--no-verify never reads it", ListUse::Ignored, {}, Outcome::Completed},
    };
    for (const UnusableRow& row : rows) {
        SCOPED_TRACE(row.why);
        ListedSet set;
        set.SplitWithList();
        const std::string lines = ReadFile(set.List());
        WriteFile(set.List(), lines.substr(lines.find('\n') + 1));  // no line for report.000
        for (const Answer answer : row.answers) {
            set.host.QueueAnswer(answer);
        }
        EXPECT_EQ(set.Join(row.use), row.outcome);
        EXPECT_EQ(set.host.UnexpectedQuestions(), 0);
        EXPECT_EQ(AnyMessageHas(set.host, MessageKind::Question,
                                "Impossibile usare l'elenco di controllo " + set.List() +
                                    ": Manca la riga del file " + set.dir / "report.000" +
                                    ".\r\n\r\nRiassemblare il file senza verifica?"),
                  !row.answers.empty());
        EXPECT_EQ(test::PathExists(set.Source()), row.outcome == Outcome::Completed);
        EXPECT_FALSE(AnyMessageHas(set.host, MessageKind::Information, VerifiedText(set.List())));
        if (row.use == ListUse::Required) {
            EXPECT_TRUE(AnyMessageHas(set.host, MessageKind::Warning, set.dir / "report.000"));
            const SetCheckReport report = set.Check();
            ASSERT_EQ(report.problems.size(), 1U);
            EXPECT_EQ(report.problems[0].kind, SetProblemKind::ListUnusable);
        }
    }
}

TEST(DigestList, ALineNamingAnotherPlaceIsIgnoredAndReported) {
    ListedSet set;
    set.SplitWithList();
    const std::string outside = "../elsewhere/report.000";
    WriteFile(set.List(), ReadFile(set.List()) + std::string(64, '0') + "  " + outside + "\n");
    EXPECT_EQ(set.Join(ListUse::Required), Outcome::Completed);
    EXPECT_TRUE(AnyMessageHas(set.host, MessageKind::Warning,
                              "L'elenco di controllo " + set.List() +
                                  " nomina file che non fanno parte della sequenza; sono stati "
                                  "ignorati:\r\n" +
                                  outside));
    const SetCheckReport report = set.Check();
    EXPECT_TRUE(report.IsConsistent());
    ASSERT_FALSE(report.notes.empty());
    EXPECT_EQ(report.notes.back().kind, SetNoteKind::ListLinesIgnored);
}

// Splits source with a scripted host answering Yes, then the given answers.
Outcome SplitAnswering(const std::string& source, std::int32_t pieceKB, bool writeList,
                       std::vector<Answer> more = {}, int stopAtPass = 0) {
    test::ScriptedHost host;
    host.QueueAnswer(Answer::Yes);
    for (const Answer answer : more) {
        host.QueueAnswer(answer);
    }
    if (stopAtPass > 0) {
        host.RequestStopAtEventPass(stopAtPass);
    }
    return SplitFile(host, source, pieceKB, writeList);
}

TEST(DigestList, ASplitStoppedOrWithoutListLeavesNoStaleListButKeepsTheUsersOwn) {
    ListedSet set;
    WriteFile(set.Source(), test::PatternBytes(kSourceBytes, 5));
    EXPECT_EQ(SplitAnswering(set.Source(), kPieceKB, true, {}, 2), Outcome::Stopped);
    EXPECT_EQ(set.dir.Names(), std::vector<std::string>{"report.doc"});

    ASSERT_EQ(SplitAnswering(set.Source(), kPieceKB, true), Outcome::Completed);
    ASSERT_EQ(SplitAnswering(set.Source(), kPieceKB * 2, false), Outcome::Completed)
        << "two pieces instead of three";
    EXPECT_FALSE(test::PathExists(set.List())) << "it described the earlier pieces";

    const std::string own = FormatListLine("report.doc", Sha256Digest{});
    WriteFile(set.List(), own);
    ASSERT_EQ(SplitAnswering(set.Source(), kPieceKB, false), Outcome::Completed);
    EXPECT_EQ(ReadFile(set.List()), own) << "the user's own list of the source alone stays";
    EXPECT_EQ(SplitAnswering(set.Source(), kPieceKB, true, {Answer::No}), Outcome::Declined)
        << "asked before replacing it";
    EXPECT_EQ(ReadFile(set.List()), own);
}

#ifndef _WIN32  // OpenSSL's configuration: the Windows build hashes through CNG
// An OpenSSL configuration that loads no provider but the null one: the library then has no
// SHA-256, as on a system whose openssl.cnf is broken.
constexpr const char* kNoProviderConfig =
    "openssl_conf = openssl_init\n"
    "[openssl_init]\n"
    "providers = provider_sect\n"
    "[provider_sect]\n"
    "null = null_sect\n"
    "[null_sect]\n"
    "activate = 1\n";

// Runs in a child process of its own, before anything there has loaded the configuration.
int JoinAndCheckWithoutSha256(ListedSet& set, const std::string& config) {
    ::setenv("OPENSSL_CONF", config.c_str(), 1);
    const std::string cause = "La libreria di crittografia non calcola lo SHA-256.";
    if (set.Join(ListUse::Required) != Outcome::Failed ||
        !AnyMessageHas(set.host, MessageKind::Warning, cause + "\r\nErrore n° ")) {
        return 1;
    }
    if (test::TempDir::NamesIn(set.dir.Path()).size() != kSetNames.size() + 1) {
        return 2;  // the pieces, the list and the configuration alone: nothing half-written
    }
    const SetCheckReport report = set.Check();
    if (report.problems.size() != 1 || report.problems[0].kind != SetProblemKind::ListUnusable ||
        report.problems[0].text != UnusableListText(set.List(), cause)) {
        return 3;
    }
    return 0;
}

TEST(DigestList, ACryptoLibraryWithoutSha256IsReportedNotACrash) {
    // A child that starts afresh: this process may have loaded the configuration already.
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    ListedSet set;
    WriteFile(set.Source(), test::PatternBytes(kSourceBytes, 5));
    ASSERT_EQ(SplitAnswering(set.Source(), kPieceKB, false), Outcome::Completed);
    std::remove(set.Source().c_str());
    std::string list;
    for (const char* name : {"report.000", "report.001", "report.002", "report.doc"}) {
        list += FormatListLine(name, Sha256Digest{});
    }
    WriteFile(set.List(), list);
    const std::string config = set.dir / "openssl.cnf";
    WriteFile(config, kNoProviderConfig);
    EXPECT_EXIT(std::_Exit(JoinAndCheckWithoutSha256(set, config)), testing::ExitedWithCode(0), "");
}
#endif

}  // namespace
}  // namespace zirared
