// The command line and the terminal, seen from outside the process; signals are in
// cli_safety_test.cpp.
#include <gtest/gtest.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <string>
#include <thread>
#include <vector>

#include "cli_process.h"

namespace zirared::testing {
namespace {

using namespace std::chrono_literals;
constexpr std::size_t kSizeUnit = 1433600;

TEST(Identity, VersionComesFromTheBuild) {
    const CliRun run = RunCli({"--version"});
    EXPECT_EQ(run.exitStatus, 0);
    EXPECT_EQ(run.output, "zirared-cli 2.0.0\n");
}

TEST(Identity, HelpIsItalianAndOnStandardOutput) {
    const CliRun run = RunCli({"--help"});
    EXPECT_EQ(run.exitStatus, 0);
    EXPECT_TRUE(Contains(run.output,
                         "Uso:\n  zirared-cli split [--size N] [--plain] [--hash] [--yes] FILE"));
    EXPECT_EQ(run.error, "");
}

struct UsageRow {
    const char* why;
    std::vector<std::string> arguments;
};

class UsageError : public ::testing::TestWithParam<UsageRow> {};

TEST_P(UsageError, ExitsTwoAndTouchesNoFile) {
    TempDirectory directory;
    const auto source = directory.Path() / "report.doc";
    WriteFile(source, std::string(kSizeUnit + 1, 'x'));
    std::vector<std::string> arguments = GetParam().arguments;
    for (std::string& argument : arguments) {
        if (argument == "FILE") {
            argument = source.string();
        }
    }
    const CliRun run = RunCli(arguments);
    EXPECT_EQ(run.exitStatus, 2);
    EXPECT_TRUE(Contains(run.error, "zirared-cli: ")) << run.error;
    EXPECT_TRUE(Contains(run.error, "zirared-cli --help")) << run.error;
    EXPECT_EQ(FileNames(directory.Path()), std::vector<std::string>{"report.doc"});
}

INSTANTIATE_TEST_SUITE_P(
    Rows, UsageError,
    ::testing::Values(UsageRow{"NoArguments", {}},
                      UsageRow{"SizeAtOrAbove4GiB", {"split", "--yes", "--size", "2996", "FILE"}},
                      UsageRow{"ExtraArgument", {"split", "--yes", "FILE", "FILE"}}),
    [](const auto& info) { return std::string(info.param.why); });

std::size_t CountOf(const std::string& text, const std::string& part) {
    std::size_t count = 0;
    for (auto at = text.find(part); at != std::string::npos; at = text.find(part, at + 1)) {
        ++count;
    }
    return count;
}

struct TypedAnswerRow {
    const char* why;
    const char* typedAhead;            // typed before the question appears
    std::vector<std::string> replies;  // one per prompt
    int exitStatus;
    std::size_t filesAfter;
};

class TypedAnswer : public ::testing::TestWithParam<TypedAnswerRow> {};

TEST_P(TypedAnswer, DecidesTheSplit) {
    const TypedAnswerRow& row = GetParam();
    TempDirectory directory;
    const auto source = directory.Path() / "report.doc";
    WriteFile(source, PseudoRandomBytes(kSizeUnit + 1, 5));
    PseudoTerminal terminal;
    const auto type = [&](const std::string& text) {
        ASSERT_EQ(write(terminal.leader, text.data(), text.size()),
                  static_cast<ssize_t>(text.size()));
    };
    type(row.typedAhead);
    CliProcess process({"split", source.string()}, terminal.follower);
    const auto deadline = std::chrono::steady_clock::now() + 30s;
    for (std::size_t prompt = 1; prompt <= row.replies.size(); ++prompt) {
        while (CountOf(process.Error(), "o n (no): ") < prompt) {
            ASSERT_FALSE(process.HasExited()) << process.Error();
            ASSERT_LT(std::chrono::steady_clock::now(), deadline) << process.Error();
            std::this_thread::sleep_for(2ms);
        }
        type(row.replies[prompt - 1]);
    }
    EXPECT_EQ(process.ExitStatus(), row.exitStatus) << process.Error();
    EXPECT_EQ(FileNames(directory.Path()).size(), row.filesAfter);
}

INSTANTIATE_TEST_SUITE_P(
    Rows, TypedAnswer,
    ::testing::Values(
        TypedAnswerRow{"YesAfterAnInvalidReply", "", {"forse\n", "s\xC3\xAC\n"}, 0, 3},
        TypedAnswerRow{"No", "", {"n\n"}, 1, 1},
        TypedAnswerRow{"KeysTypedBeforeTheQuestionDoNotAnswerIt", "s\n", {"n\n"}, 1, 1}),
    [](const auto& info) { return std::string(info.param.why); });

TEST(Progress, IsRedrawnInPlaceOnATerminal) {
    TempDirectory directory;
    const auto source = directory.Path() / "report.doc";
    WriteFile(source, PseudoRandomBytes(2 * kSizeUnit + 1, 9));
    PseudoTerminal terminal;
    CliProcess process({"split", "--yes", source.string()}, -1, terminal.follower);
    terminal.CloseFollower();
    const std::string screen = terminal.ReadUntilClosed();
    EXPECT_EQ(process.ExitStatus(), 0);
    EXPECT_TRUE(Contains(screen, "\rTerminato: sono stati creati n\xC2\xB0 3 files")) << screen;
    EXPECT_TRUE(Contains(screen, "%")) << screen;
}

}  // namespace
}  // namespace zirared::testing
