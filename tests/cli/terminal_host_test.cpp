#include "terminal_host.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <csignal>
#include <sstream>

#include "progress_line.h"
#include "reply_parsing.h"
#include "shown_name.h"
#include "stop_signal.h"

namespace zirared {
namespace {

struct ReplyRow {
    const char* why;
    const char* typed;
    std::optional<Answer> expected;
};

class Reply : public ::testing::TestWithParam<ReplyRow> {};

TEST_P(Reply, IsRead) {
    EXPECT_EQ(ParseReply(GetParam().typed), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(Rows, Reply,
                         ::testing::Values(ReplyRow{"ShortItalianYes", "s", Answer::Yes},
                                           ReplyRow{"AccentedYes", "s\xC3\xAC", Answer::Yes},
                                           ReplyRow{"CapitalAccentedYes", "S\xC3\x8C", Answer::Yes},
                                           ReplyRow{"EnglishYesWithBlanks", "  y \r", Answer::Yes},
                                           ReplyRow{"UpperCaseNo", "NO", Answer::No},
                                           ReplyRow{"EmptyLineIsNoAnswer", "", std::nullopt},
                                           ReplyRow{"OtherWordIsNoAnswer", "forse", std::nullopt},
                                           ReplyRow{"PrefixIsNotEnough", "sure", std::nullopt}),
                         [](const auto& info) { return std::string(info.param.why); });

struct QuestionRow {
    const char* why;
    bool assumeYes;
    bool inputIsTerminal;
    const char* typed;
    Answer expected;
    const char* shown;
};

class Question : public ::testing::TestWithParam<QuestionRow> {};

TEST_P(Question, IsAnswered) {
    const QuestionRow& row = GetParam();
    TerminalSettings settings;
    settings.assumeYes = row.assumeYes;
    settings.inputIsTerminal = row.inputIsTerminal;
    std::istringstream input(row.typed);
    std::ostringstream output;
    TerminalHost host(settings, input, output);
    EXPECT_EQ(host.ShowMessage("Confermi?", MessageKind::Question), row.expected);
    EXPECT_NE(output.str().find(row.shown), std::string::npos) << output.str();
}

INSTANTIATE_TEST_SUITE_P(
    Rows, Question,
    ::testing::Values(QuestionRow{"YesOptionNeverReads", true, true, "n\n", Answer::Yes, "(--yes)"},
                      QuestionRow{"NoTerminalIsNoEvenWithInput", false, false, "s\n", Answer::No,
                                  "nessun terminale"},
                      QuestionRow{"InvalidReplyAsksAgain", false, true, "boh\n\ns\n", Answer::Yes,
                                  "Risposta non valida"},
                      QuestionRow{"EndOfInputIsNo", false, true, "boh\n", Answer::No,
                                  "fine dell'ingresso"}),
    [](const auto& info) { return std::string(info.param.why); });

TEST(Message, ShowsKindAndTerminalLineBreaks) {
    EXPECT_EQ(FormatMessage("Riga uno\r\nRiga due", MessageKind::Warning),
              "Zirared (avviso): Riga uno\nRiga due\n");
    EXPECT_EQ(FormatMessage("x", MessageKind::Error), "Zirared (errore): x\n");
    // Only CR LF breaks the line; a raw byte that is not UTF-8 is shown, not sent.
    EXPECT_EQ(FormatMessage("a\nb\x9bz", MessageKind::Error), "Zirared (errore): a\\x0Ab\\x9Bz\n");
}

struct NameRow {
    const char* why;
    std::string name;
    const char* shown;
};

class Name : public ::testing::TestWithParam<NameRow> {};

TEST_P(Name, IsEscapedWhereItCouldControlTheTerminal) {
    EXPECT_EQ(ShownName(GetParam().name), GetParam().shown);
}

INSTANTIATE_TEST_SUITE_P(
    Rows, Name,
    ::testing::Values(NameRow{"CrLf", "a\r\nb", "a\\x0D\\x0Ab"},
                      NameRow{"LoneLf", "a\nb", "a\\x0Ab"},
                      NameRow{"EscapeAndDelete", "\x1b[2J\x7f", "\\x1B[2J\\x7F"},
                      NameRow{"RawCsi", "a\x9bz", "a\\x9Bz"},
                      NameRow{"C1Csi", "a\xC2\x9Bz", "a\\xC2\\x9Bz"},
                      NameRow{"InvalidAndOverlong", "\xFF\xC3(\xE2\x82\xC0\xAF",
                              "\\xFF\\xC3(\\xE2\\x82\\xC0\\xAF"},
                      NameRow{"ValidUtf8AndBackslash", "\xC3\xA8\xE2\x82\xAC\\x41.doc",
                              "\xC3\xA8\xE2\x82\xAC\\x41.doc"}),
    [](const auto& info) { return std::string(info.param.why); });

#ifndef _WIN32
// After Ctrl-C or an ending signal, a question is not the user's to agree to.
TEST(Question, AfterASignalIsNoEvenWithYes) {
    ArmStopSignal();
    std::raise(SIGTERM);
    TerminalSettings settings;
    settings.assumeYes = true;
    std::istringstream input;
    std::ostringstream output;
    TerminalHost host(settings, input, output);
    EXPECT_EQ(host.ShowMessage("Confermi?", MessageKind::Question), Answer::No);
    EXPECT_NE(output.str().find("Risposta: no (interruzione)"), std::string::npos);
    ClearStopSignal();
    FinishEndingSignal(false);
}
#endif

TEST(ProgressFormat, ClampsPercentAndFitsTheTerminal) {
    ProgressSnapshot snapshot;
    snapshot.status = "File n\xC2\xB0 1  di  3  in scrittura";
    snapshot.barVisible = true;
    snapshot.percent = 101;  // the engine's float steps can overshoot
    const std::string line = FormatProgressLine(snapshot, 80);
    EXPECT_NE(line.find("100%"), std::string::npos) << line;
    EXPECT_EQ(line.find("101"), std::string::npos) << line;
    EXPECT_LE(FormatProgressLine(snapshot, 20).size(), 20u);
}

std::int64_t g_fakeNowMs = 0;
std::int64_t FakeClock() {
    return g_fakeNowMs;
}

TEST(ProgressLine, RedrawsAtMostOncePerInterval) {
    std::ostringstream output;
    ProgressLine line(output, true, 80, FakeClock);
    g_fakeNowMs = 1000;
    line.ShowBar();
    for (int block = 0; block < 100000; ++block) {
        line.SetStatus("File n\xC2\xB0 1  di  3  in scrittura");
        line.SetPercent(block / 1000);
        line.CountBlock();
        g_fakeNowMs += block % 100 == 0 ? 1 : 0;  // 1 s in all
    }
    const std::string written = output.str();
    const auto redraws = std::count(written.begin(), written.end(), '\r');
    EXPECT_GE(redraws, 2);
    EXPECT_LE(redraws, 1000 / ProgressLine::kRedrawIntervalMs + 1);
}

TEST(ProgressLine, RateCountsBlocksOf10240Bytes) {
    std::ostringstream output;
    g_fakeNowMs = 0;
    ProgressLine line(output, true, 80, FakeClock);
    line.ShowBar();
    for (int block = 0; block < 512; ++block) {
        line.CountBlock();
    }
    g_fakeNowMs = 1000;
    line.Commit();
    EXPECT_TRUE(output.str().ends_with(" 5,0 MB/s\n")) << output.str();  // 512 x 10,240 B in 1 s
}

TEST(ProgressLine, DisabledWritesNothing) {
    std::ostringstream output;
    ProgressLine line(output, false, 80, FakeClock);
    line.ShowBar();
    line.SetStatus("x");
    line.CountBlock();
    line.Commit();
    EXPECT_EQ(output.str(), "");
}

}  // namespace
}  // namespace zirared
